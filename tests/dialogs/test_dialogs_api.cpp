// A caller of the exported interface hands its own dialog and screen tables
// to a run ("DialogsCBs", "DialogsI344CBs") and answers a scripted pinpad's
// dialogs through them.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "api/velpad.h"
#include "engine/FrameCodec.h"
#include "support/Loopback.h"
#include "support/TempDir.h"

namespace {

// What the caller's callbacks saw.
std::vector<std::string> seen;
int calls = 0;

}  // namespace

extern "C" {

static int CallerMenu(const char* title, const char** items, int count, int64_t, int) {
    ++calls;
    seen.emplace_back(title);
    for (int i = 0; i < count; ++i) seen.emplace_back(items[i]);
    return 2;
}
static int CallerYesNo(const char* text, const char*, int64_t, int) {
    ++calls;
    seen.emplace_back(text);
    return 1;
}
static int CallerStatus(const char* text, int) {
    seen.emplace_back(text);
    return 0;
}
// Fills the whole buffer, leaving no terminating zero.
static int CallerInput(const char*, const char*, char* buffer, int size, int, int, int64_t, int) {
    ++calls;
    memset(buffer, '7', static_cast<size_t>(size));
    return 0;
}
static int CallerScreen(void) {
    return 0;
}
static int CallerPrintLine(const char* text, int row, int, int) {
    seen.push_back(std::to_string(row) + ":" + text);
    return 0;
}
static int CallerKey(int64_t) {
    return 13;
}

}  // extern "C"

namespace {

void* dialogTable[8] = {nullptr,
                        nullptr,
                        reinterpret_cast<void*>(&CallerMenu),
                        reinterpret_cast<void*>(&CallerYesNo),
                        nullptr,
                        nullptr,
                        reinterpret_cast<void*>(&CallerStatus),
                        reinterpret_cast<void*>(&CallerInput)};
void* screenTable[8] = {nullptr,
                        reinterpret_cast<void*>(&CallerScreen),
                        reinterpret_cast<void*>(&CallerScreen),
                        reinterpret_cast<void*>(&CallerPrintLine),
                        nullptr,
                        reinterpret_cast<void*>(&CallerKey),
                        nullptr,
                        nullptr};

// A pinpad behind a loopback TCP port: it takes the start message, sends its
// commands one by one and records the reply to each, then ends the
// transaction. Every wait is bounded, so a silent engine cannot hang it.
class ScriptedPinpad {
public:
    ScriptedPinpad() { listener_ = ListenOnLoopback(1, &port_); }
    ~ScriptedPinpad() {
        if (thread_.joinable()) thread_.join();
        if (client_ >= 0) close(client_);
        close(listener_);
    }

    int Port() const { return port_; }
    void Serve(std::vector<std::string> commands) {
        thread_ = std::thread([this, commands] {
            if (!Ready(listener_)) return;
            client_ = accept(listener_, nullptr, nullptr);
            start = ReadFrame();
            for (const std::string& command : commands) {
                Send(FrameCodec::Encode(command));
                replies.push_back(ReadFrame());
            }
        });
    }
    // Waits for the script to finish; the replies are complete afterwards.
    void Join() { thread_.join(); }

    std::string start;
    std::vector<std::string> replies;

private:
    static bool Ready(int fd) { return WaitReadable(fd, 10000); }
    void Send(const std::string& bytes) { send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    std::string Read(size_t count) {
        std::string data;
        char buffer[512];
        while (data.size() < count && Ready(client_)) {
            const ssize_t got =
                recv(client_, buffer, std::min(sizeof(buffer), count - data.size()), 0);
            if (got <= 0) break;
            data.append(buffer, static_cast<size_t>(got));
        }
        return data;
    }
    std::string ReadFrame() {
        FrameCodec codec;
        std::string payload;
        char stray = 0;
        while (codec.Take(&payload, &stray) != FrameCodec::Status::kFrame) {
            const std::string more = Read(codec.Missing());
            if (more.empty()) return "<silence>";
            codec.Feed(more);
        }
        return payload;
    }

    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
    std::thread thread_;
};

class CallerDialogsTest : public ::testing::Test {
protected:
    CallerDialogsTest() : cwd_(dir_.Path()) {
        seen.clear();
        calls = 0;
        std::ofstream(dir_ / "cashreg.ini")
            << "PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" << pinpad_.Port()
            << "\nTIMEOUT=3000\nPPAD_IDLE_TO=10000\nOPERATION_INI_FILE=ops.ini\n"
               "NO_CHECK_LAST_OP=1\n";
        std::ofstream(dir_ / "ops.ini") << "1=1,1,Payment\n";
        session_ = CreateDARir();
        Set("DialogsCBs", std::to_string(reinterpret_cast<uintptr_t>(dialogTable)));
        Set("DialogsI344CBs", std::to_string(reinterpret_cast<uintptr_t>(screenTable)));
    }
    ~CallerDialogsTest() override { DeleteDARir(session_); }

    void Set(const std::string& key, const std::string& value) {
        DARirSet(session_, key.c_str(), value.data(), static_cast<int>(value.size()));
    }

    TempDir dir_;
    WorkingDir cwd_;
    ScriptedPinpad pinpad_;
    DARir* session_ = nullptr;
};

TEST_F(CallerDialogsTest, RunAnswersThePinpadThroughTheCallersTables) {
    Set("OPCHARSET", "UTF-8");
    pinpad_.Serve({"STATUS:\xCE\xEF\xEB\xE0\xF2\xE0",  // "Оплата"
                   "MENU:Card\x1b"
                   "Debit\x1b"
                   "Local\x1b"
                   "Other",
                   "YESNO:Sign?",
                   "DATAENTRY:Code\x1b"
                   "12",
                   std::string("I344:\x00\x08"
                               "1Insert card     \x00\x0A",
                               26),
                   "DIALOGRES:42", "ENDTR"});
    EXPECT_EQ(DARirRun(session_, 1), 0);
    pinpad_.Join();
    EXPECT_EQ(pinpad_.start.substr(0, 4),
              "1\x1b"
              "1\x1b");
    EXPECT_EQ(pinpad_.replies,
              (std::vector<std::string>{"OK", "1", "1", "0\x1b" + std::string(100, '7'),
                                        "\x01:", "OK", "OK"}));
    const std::vector<std::string> shown(seen.end() - 7, seen.end());
    EXPECT_EQ(shown,
              (std::vector<std::string>{"\xD0\x9E\xD0\xBF\xD0\xBB\xD0\xB0\xD1\x82\xD0\xB0", "Card",
                                        "Debit", "Local", "Other", "Sign?", "1:Insert card     "}));
}

TEST_F(CallerDialogsTest, NoDialogsParameterKeepsTheCallersDialogsClosed) {
    Set("NODIALOGS", "1");
    pinpad_.Serve(
        {"MENU:Card\x1b"
         "Debit",
         "YESNO:Sign?",
         "DATAENTRY:Code\x1b"
         "12",
         "ENDTR"});
    DARirRun(session_, 1);
    pinpad_.Join();
    EXPECT_EQ(pinpad_.replies, (std::vector<std::string>{"-1", "0", "-1\x1b", "OK"}));
    EXPECT_EQ(calls, 0);
}

}  // namespace
