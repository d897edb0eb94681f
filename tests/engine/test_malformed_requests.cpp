// Every command the pinpad can send, with payloads that are empty, cut,
// oversized or random: the engine answers each request once (or not at all,
// where the command has no reply) and never fails itself.
#include <random>

#include "EngineFixture.h"
#include "engine/handlers/CommandRow.h"

namespace {

std::vector<std::string> Payloads() {
    std::mt19937 random(20261208);
    std::string noise(300, '\0');
    for (char& byte : noise) byte = static_cast<char>(random() & 0xFF);
    return {"",
            ":",
            "::::",
            "\x1b\x1b\x1b",
            "2",
            "2:",
            "2:x:y:z",
            "9:-1:-1",
            "-5",
            std::string(40, '\x10'),
            noise,
            std::string(70000, 'A'),
            std::string("\x00\x13\x00x\x1b", 5)};
}

class MalformedRequestTest : public EngineFixture {
protected:
    void SetUp() override { Ini("TIMEOUT=50\n"); }
};

TEST_F(MalformedRequestTest, EveryCommandAnswersOnceWhateverItCarries) {
    PPAD& engine = Engine();
    for (const auto& [command, handler] : handlers::CommandTable()) {
        for (const std::string& payload : Payloads()) {
            const size_t before = link->sent.size();
            EXPECT_NO_THROW(engine.ProcessCommand(command + payload)) << command;
            const size_t replies = link->sent.size() - before;
            if (command == "CARDREQ:") {
                EXPECT_EQ(replies, 0u);
            } else if (command == "I344:") {
                // Every identify command in the stream is answered at once,
                // before the reply that ends the request.
                EXPECT_GE(replies, 1u) << command;
            } else {
                EXPECT_EQ(replies, 1u) << command << " with " << payload.size() << " bytes";
            }
        }
    }
}

// Whatever a request carries, only the end of the transaction ends the serve
// loop; a handler that fails still lets the pinpad go on.
TEST_F(MalformedRequestTest, OnlyTheEndOfTheTransactionEndsTheLoop) {
    PPAD& engine = Engine();
    for (const auto& [command, handler] : handlers::CommandTable()) {
        for (const std::string& payload : {std::string(), std::string("\x1b:\x1b")}) {
            EXPECT_NE(engine.Serve(command + payload), PPAD::kTransactionEnded) << command;
        }
    }
    EXPECT_NE(engine.Serve("NOSUCH"), PPAD::kTransactionEnded);
    EXPECT_EQ(engine.Serve("ENDTR"), PPAD::kTransactionEnded);
    EXPECT_EQ(Sent().back(), "OK");
}

}  // namespace
