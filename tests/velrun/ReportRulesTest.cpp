// The rules velrun --report bundles by: the scan for card data, the keys
// whose values are blanked, and the archive's format as tar itself reads it.
#include <gtest/gtest.h>

#include <fstream>

#include "CardScan.h"
#include "Gzip.h"
#include "SecretKeys.h"
#include "TarArchive.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace {

using velrun::CardDataKind;

struct ScanCase {
    const char* text;
    long offset;  // -1: nothing found
    CardDataKind kind;
};

TEST(ReportRules, CardScanFindsClearCardDataOnly) {
    const CardDataKind number = CardDataKind::kCardNumber;
    const ScanCase cases[] = {
        // Clear card numbers, whole or in groups, beside other text and numbers.
        {"4111111111111111", 0, number},
        {"card 4111 1111 1111 1111 end", 5, number},
        {"pan=4111-1111-1111-1111;", 4, number},
        {"amex 378282246310005", 5, number},
        {"3782 822463 10005", 0, number},
        {"1500 4111 1111 1111 1111", 5, number},
        {"12 4111111111111111", 3, number},
        {"id 00012345 card 5500005555555559\n", 17, number},
        {"6759649826438453", 0, number},
        // Track data, with or without its sentinels, whatever the number.
        {";4111111111111111=25121010000000000000?", 0, CardDataKind::kTrack2},
        {"t2 4111111111111112=2512101", 3, CardDataKind::kTrack2},
        {"57: 4111111111111111D25121010000", 4, CardDataKind::kTrack2},
        {"%B4111111111111111^CARDHOLDER/TEST^2512", 0, CardDataKind::kTrack1},
        {"xB4111111111111111^", 1, CardDataKind::kTrack1},
        // Masked numbers, numbers failing the Luhn check, references, dates,
        // hex dumps, longer runs and amounts are not card data.
        {"pan=4276********1234", -1, number},
        {"411111******1111", -1, number},
        {"4111111111111112", -1, number},
        {"rrn=412345678901 transaction_id=0000000123", -1, number},
        {"0000000000000000", -1, number},
        {"41111111111111111111", -1, number},
        {"2024-01-15 12:30:45 1500 643", -1, number},
        {"34 31 31 31 31 31 31 31 31 31 31 31 31 31 31 31", -1, number},
        {"07 00 26 01 15 12 30 45 1F 08 06 30 30 30", -1, number},
        {"41 11 11 11 11 11 11 11", -1, number},
        {"41-11-11-11-11-11-11-11", -1, number},
        {"4111111111111112=25", -1, number},
        {"4111111111111111=25", 0, number},
        {"B4111111111111111 ^", 1, number},
        {"", -1, number},
    };
    for (const ScanCase& c : cases) {
        const auto found = velrun::findCardData(c.text);
        if (c.offset < 0) {
            EXPECT_FALSE(found) << c.text << " at " << found->offset;
            continue;
        }
        ASSERT_TRUE(found) << c.text;
        EXPECT_EQ(found->offset, static_cast<std::size_t>(c.offset)) << c.text;
        EXPECT_EQ(found->kind, c.kind) << c.text;
    }
    // Bytes of every value around a number change nothing.
    const std::string binary = std::string("\0\xff\x01", 3) + "4111111111111111" + '\0';
    EXPECT_EQ(velrun::findCardData(binary)->offset, 3u);
    EXPECT_TRUE(velrun::passesLuhn("79927398713"));
    EXPECT_FALSE(velrun::passesLuhn("79927398710"));
}

TEST(ReportRules, SecretKeysAndTheirBlanking) {
    for (const char* key :
         {"BANK_PASSWORD", "Password", "db.pwd", "PASSWD", "api_key", "APIKEY", "MAC_KEYS",
          "client-secret", "AUTH_TOKEN", "refreshTokens", "PIN", "USER_PIN", "ADMINPIN", "key"})
        EXPECT_TRUE(velrun::isSecretKey(key)) << key;
    for (const char* key : {"PORT", "KEYBOARD_LAYOUT", "PINPAD_PORT", "TEST_PING", "TIMEOUT",
                            "PPAD_LOCK_TO", "LOG_FOLDER_NAME", "ORVEX_ID", "", "___"})
        EXPECT_FALSE(velrun::isSecretKey(key)) << key;
    EXPECT_EQ(velrun::blankSecretValues("PORT=ETH\r\nBANK_PASSWORD=hunter2\r\n; old_pin = 1234\n"
                                        "PINPAD=1\nEMPTY_PASS=\n[Settings]\nflag\nTOKEN=x"),
              "PORT=ETH\r\nBANK_PASSWORD=<blanked>\r\n; old_pin = <blanked>\n"
              "PINPAD=1\nEMPTY_PASS=\n[Settings]\nflag\nTOKEN=<blanked>");
}

// tar lists what the archive holds, a name too long for the header included.
TEST(ReportRules, ArchiveIsReadByTar) {
    const std::string longName = "velrun-report/logs/" + std::string(150, 'n') + ".log";
    velrun::TarArchive archive;
    archive.Add("velrun-report/check.txt", "Result: ready\n", 1700000000);
    archive.Add(longName, std::string(1000, 'x'), 1700000000);
    archive.Add("velrun-report/empty", "", 0);
    std::string compressed;
    ASSERT_TRUE(velrun::gzipCompress(archive.Finish(), &compressed));
    TempDir dir;
    std::ofstream(dir / "bundle.tar.gz", std::ios::binary) << compressed;
    velrun_test::ChildOptions tar;
    tar.program = "/bin/tar";
    tar.args = {"tzvf", "bundle.tar.gz"};
    tar.workDir = dir.Path();
    const velrun_test::ChildResult listed = velrun_test::runChild(tar);
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    EXPECT_EQ(listed.err, "");
    EXPECT_NE(listed.out.find(" 14 2023-11-1"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(" velrun-report/check.txt\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(" 1000 "), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(" " + longName + "\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(" velrun-report/empty\n"), std::string::npos) << listed.out;
}

}  // namespace
