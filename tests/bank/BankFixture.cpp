#include "BankFixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

void BankTest::SetUp() {
    dir_.Write("darir.ini", "[Settings]\nINTERFACE=BankAgent\nLogType=6\nConsole=0\n");
    dir_.Write("cashreg.ini", "CHEQ_FILE=cheq.out\nOPERATION_INI_FILE=ops.ini\n");
    dir_.Write("ops.ini", "1=1,1,PAYMENT\n7=2,1,CLOSE DAY\n5=1,2,OTHER\n");
    cwd_ = std::make_unique<WorkingDir>(dir_.Path());
    pos_ = CreateDARir();
    ASSERT_NE(pos_, nullptr);
}

void BankTest::TearDown() {
    DeleteDARir(pos_);
    cwd_.reset();
}

std::string BankTest::Get(const char* key) {
    const int size = DARirGet(pos_, key, nullptr, -1);
    if (size <= 1) return "<none>";
    std::vector<char> buffer(size, '\0');
    const int copied = DARirGet(pos_, key, buffer.data(), size);
    return copied < 0 ? "<get failed>" : std::string(buffer.data(), copied);
}

std::string BankTest::Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool BankTest::Exists(const std::string& name) const {
    return access((dir_ / name).c_str(), F_OK) == 0;
}
