// Legacy structure calls end to end: the real library against the virtual
// pinpad over loopback TCP, the structure filled as a foreign caller does.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "Installation.h"
#include "api/velpad.h"
#include "support/TempDir.h"

namespace {

std::string Field(const char* field, std::size_t width) {
    return std::string(field, strnlen(field, width));
}

void Replace(Installation* install, const std::string& name, const std::string& from,
             const std::string& to) {
    std::string text = install->Read(name);
    const std::size_t at = text.rfind(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    install->Write(name, text);
}

TEST(LegacyTest, FullStructurePaymentWithIdentifier) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("legacy_payment.vps", {}, false, &error)) << error;
    UserAuthIntFull auth{};
    auth.operation = 1;
    std::memcpy(auth.amount, "1500", 4);
    std::memcpy(auth.currency, "643", 3);
    std::memcpy(auth.terminal_id, "00054321", 8);
    std::memcpy(auth.rrn, "000000000777", 12);
    std::memcpy(auth.transaction_id, "TX-IN", 5);
    std::memcpy(auth.trace_id, "TRACE-IN", 8);
    std::memcpy(auth.cash_amount, "500", 3);
    std::memcpy(auth.expiry, "2512", 4);
    std::memcpy(auth.original_amount, "1500", 4);
    std::memcpy(auth.original_date_time, "260115123045", 12);
    auth.receipt_number = 12;
    auth.loyalty_code = 123;
    std::memset(auth.application_label, '#', sizeof auth.application_label);
    {
        WorkingDir cwd(install.Path());
        EXPECT_EQ(ProcessOwIdFull("T7", &auth, sizeof auth), 0);
    }
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    EXPECT_EQ(Field(auth.terminal_id, 9), "00012345");
    EXPECT_EQ(Field(auth.pan, 20), "4276********1234");
    EXPECT_EQ(Field(auth.rrn, 13), "412345678901");
    EXPECT_EQ(Field(auth.transaction_id, 19), "0000000123");
    EXPECT_EQ(Field(auth.card_type, 80), "DEBIT");
    EXPECT_EQ(Field(auth.bank_id, 19), "BANK-7");
    EXPECT_EQ(std::string(auth.application_label, 12), "DEBIT CARD##");
    // One character per half-byte, '0' plus its value: 0xA comes out as ':'.
    EXPECT_EQ(Field(auth.aid, 80), ":000000003");
    EXPECT_EQ(Field(auth.tvr, 80), "0080008000");
    EXPECT_EQ(static_cast<int>(auth.receipt_number), 42);
    EXPECT_EQ(static_cast<unsigned>(auth.loyalty_code), 456u);  // read by value: unaligned
    EXPECT_EQ(Field(auth.expiry, 5), "2512");
    EXPECT_EQ(install.Read("rc.out-T7"), "000\n");
}

TEST(LegacyTest, PortOverrideInTheShortStructure) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("relay_payment.vps", {}, false, &error)) << error;
    // The installation's own port leads nowhere; only the override reaches the pinpad.
    Replace(&install, "cashreg.ini", "PORT=ETH", "PORT=/dev/velpad-no-such-port");
    UserAuthInt auth{};
    auth.operation = 1;
    std::memcpy(auth.amount, "1500", 4);
    std::memcpy(auth.currency, "643", 3);
    std::strcpy(auth.settings, "PORT=ETH");
    {
        WorkingDir cwd(install.Path());
        EXPECT_EQ(ProcessOwId("T7", &auth), 0);
    }
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    EXPECT_EQ(install.Read("cheq.out-T7"), "RELAYED SLIP\n");
}

// Each key in an installation of its own, so that one run's log lines cannot
// stand in for another's; an ignored key reaches the session not at all.
TEST(LegacyTest, OtherOverrideKeysAreIgnored) {
    for (const char* text : {"port=ETH", "SPEED=9600", "PORTS=ETH"}) {
        Installation install;
        install.Write("cashreg.ini",
                      install.Read("cashreg.ini") + "\nPORT=/dev/velpad-no-such-port\n");
        UserAuthInt auth{};
        auth.operation = 1;
        std::memcpy(auth.amount, "1500", 4);
        std::strcpy(auth.settings, text);
        {
            WorkingDir cwd(install.Path());
            EXPECT_NE(ProcessOw(&auth), 0) << text;
        }
        EXPECT_NE(install.Logs().find("/dev/velpad-no-such-port"), std::string::npos) << text;
        const std::string trace = install.Read("darir.log");
        EXPECT_NE(trace.find("Set Key [amount]"), std::string::npos) << text;
        for (const char* key : {"port", "SPEED", "PORT", "PORTS"})
            EXPECT_EQ(trace.find(std::string("Set Key [") + key + "]"), std::string::npos)
                << text << ": " << key;
    }
}

// Without an identifier the relay gets none and the result files keep their
// plain names.
TEST(LegacyTest, NoIdentifierSetsNoOrvexId) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("legacy_no_id.vps", {}, false, &error)) << error;
    UserAuthInt auth{};
    auth.operation = 1;
    std::memcpy(auth.amount, "1500", 4);
    std::memcpy(auth.currency, "643", 3);
    std::strcpy(auth.settings, "PORT=ETH");
    {
        WorkingDir cwd(install.Path());
        EXPECT_EQ(ProcessOw(&auth), 0);
    }
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    EXPECT_EQ(install.Read("cheq.out"), "PLAIN SLIP\n");
    EXPECT_EQ(install.Read("darir.log").find("Set Key [ORVEX_ID]"), std::string::npos);
}

TEST(LegacyTest, StopWithoutSessionReachesTheLegacyCall) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("legacy_stop.vps", {}, false, &error)) << error;
    std::atomic<bool> done{false};
    // Stop(NULL) asked again and again from another thread: before the call
    // registers its session it does nothing, afterwards it stops the run.
    std::thread stopper([&done] {
        while (!done) {
            Stop(nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    UserAuthIntFull auth{};
    auth.operation = 1;
    std::memcpy(auth.amount, "1500", 4);
    std::memcpy(auth.currency, "643", 3);
    int result;
    {
        WorkingDir cwd(install.Path());
        result = ProcessOwFull(&auth, sizeof auth);
    }
    done = true;
    stopper.join();
    EXPECT_EQ(result, 2);
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
}

}  // namespace
