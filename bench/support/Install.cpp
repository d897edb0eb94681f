#include "support/Install.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/Paths.h"

namespace bench {

namespace {

const char* const kInstallFiles[] = {"cashreg.ini", "ops.ini", "rc_conv.ini", "rc_res.ini",
                                     "darir.ini"};

}  // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

Install::Install() {
    char pattern[] = "/tmp/velpad-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    for (const char* name : kInstallFiles)
        WriteFile(Path(name), ReadFile(std::string(kInstallDir) + "/" + name));
}

Install::~Install() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void Install::AddSettings(const std::string& lines) const {
    std::ofstream(Path("cashreg.ini"), std::ios::binary | std::ios::app) << "\n" << lines << "\n";
}

}  // namespace bench
