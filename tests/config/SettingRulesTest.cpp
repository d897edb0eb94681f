// The rules a run applies to its settings, which velrun --check reports
// from: one table per rule.
#include <gtest/gtest.h>

#include "config/SettingRules.h"

namespace {

TEST(SettingRules, TimeoutsOutsideTheirBoundsFallBack) {
    struct Case {
        const SettingRules::Timeout& timeout;
        std::string text;
        bool accepted;
        long inForce;
    };
    const Case cases[] = {
        {SettingRules::kLinkTimeout, "1000", true, 1000},
        {SettingRules::kLinkTimeout, "60000", true, 60000},
        {SettingRules::kLinkTimeout, "60001", false, 1000},
        {SettingRules::kLinkTimeout, "1", true, 1},
        {SettingRules::kLinkTimeout, "0", false, 1000},
        {SettingRules::kLinkTimeout, "-5", false, 1000},
        {SettingRules::kLinkTimeout, "", false, 1000},
        {SettingRules::kLinkTimeout, "abc", false, 1000},
        // Read as the engine reads a number: blanks skipped, trailing text ignored.
        {SettingRules::kLinkTimeout, " 2000ms", true, 2000},
        {SettingRules::kIdleTimeout, "3600000", true, 3600000},
        {SettingRules::kIdleTimeout, "99999999999999", false, 120000},
        {SettingRules::kLockTimeout, "600000", true, 600000},
        {SettingRules::kLockTimeout, "600001", false, 5000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingRules::Accepts(c.timeout, c.text), c.accepted)
            << c.timeout.key << "=" << c.text;
        EXPECT_EQ(SettingRules::InForce(c.timeout, c.text), c.inForce)
            << c.timeout.key << "=" << c.text;
    }
    EXPECT_EQ(SettingRules::kStartTimeouts[0].key, std::string("TIMEOUT"));
    EXPECT_EQ(SettingRules::kStartTimeouts[1].key, std::string("PPAD_IDLE_TO"));
}

TEST(SettingRules, ReplacedValueTextIsTheLogs) {
    EXPECT_EQ(SettingRules::Replaced(SettingRules::kLinkTimeout, "90000"),
              "TIMEOUT=[90000] is not in 1..60000 ms, 1000 is used");
    // The logs print the text as a C string: it ends at a zero byte.
    EXPECT_EQ(SettingRules::Replaced(SettingRules::kIdleTimeout, std::string("9\0x", 3)),
              "PPAD_IDLE_TO=[9] is not in 1..3600000 ms, 120000 is used");
}

TEST(SettingRules, OperationLinesAndWhatTheStartMessageLacks) {
    struct Case {
        std::string key;
        std::string value;
        bool code;
        std::string type, index, name;
        const char* missing;
    };
    const Case cases[] = {
        {"1", "1,1,Pay", true, "1", "1", "Pay", nullptr},
        {"2", "4,3", true, "4", "3", "NONE", nullptr},
        {"3", "7", true, "", "", "", "no pinpad type and index"},
        {"4", ",,", true, "", "", "", "no pinpad type and index"},
        {"5", ",5,x", true, "", "5", "x", "no pinpad type"},
        {"6", "6,,a,b", true, "6", "", "a,b", "no pinpad index"},
        {"123456789", "1,1,x", true, "1", "1", "x", nullptr},
        {"1234567890", "1,1,x", false, "1", "1", "x", nullptr},
        {"", "1,1,x", false, "1", "1", "x", nullptr},
        {"-1", "1,1,x", false, "1", "1", "x", nullptr},
        {"abc", "1,1,x", false, "1", "1", "x", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingRules::IsTableCode(c.key), c.code) << c.key;
        const SettingRules::Operation operation = SettingRules::SplitOperation(c.value);
        EXPECT_EQ(operation.type, c.type) << c.value;
        EXPECT_EQ(operation.owIndex, c.index) << c.value;
        EXPECT_EQ(operation.name, c.name) << c.value;
        const char* missing = SettingRules::MissingStartFields(operation);
        EXPECT_EQ(std::string(missing ? missing : "-"), std::string(c.missing ? c.missing : "-"))
            << c.value;
    }
}

TEST(SettingRules, SerialPortNames) {
    const std::pair<const char*, bool> names[] = {
        {"COM1", true},     {"COM10", false},   {"\\\\.\\COM10", true},
        {"//./COM3", true}, {"//./COM", true},  {"/dev/ttyUSB0", true},
        {"/dev/tty", true}, {"/dev/tt", false}, {"ttyS0", false},
        {"ETH", false},     {"", false},
    };
    for (const auto& [name, serial] : names)
        EXPECT_EQ(SettingRules::IsSerialName(name), serial) << name;
}

}  // namespace
