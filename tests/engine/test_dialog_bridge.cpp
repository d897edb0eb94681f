// The bridge to the caller's dialog and screen tables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/Dialog.h"

namespace {

int menu_result = 0;
int menu_count = 0;
std::string menu_title;

int Menu(const char* title, const char** items, int count, int64_t, int) {
    menu_title = title;
    menu_count = count;
    (void)items;
    return menu_result;
}

// Fills the whole buffer, without a terminating zero.
int FillInput(const char*, const char*, char* buffer, int size, int, int, int64_t, int) {
    memset(buffer, 'z', static_cast<size_t>(size));
    return 0;
}

int key_code = 0;
int GetKey(int64_t) {
    return key_code;
}

TEST(DialogBridgeTest, DefaultsWithoutTables) {
    Dialog dialog;
    std::string value = "stale";
    EXPECT_EQ(dialog.MakeMenu("T\x1b"
                              "a\x1b"
                              "b"),
              -1);
    EXPECT_EQ(dialog.StringInput("Prompt\x1b"
                                 "init",
                                 &value),
              -1);
    EXPECT_EQ(value, "");
    EXPECT_EQ(dialog.YesNoDialog("q", "y/n"), 0);
    EXPECT_EQ(dialog.GetPOKey(), "\x01;");
}

TEST(DialogBridgeTest, MenuChoiceCountsFromZero) {
    void* table[8] = {};
    table[2] = reinterpret_cast<void*>(&Menu);
    Dialog dialog;
    dialog.SetDialogs(table, nullptr);
    menu_result = 2;
    EXPECT_EQ(dialog.MakeMenu("Title\x1b"
                              "one\x1b"
                              "two\x1b"
                              "three"),
              1);
    EXPECT_EQ(menu_title, "Title");
    EXPECT_EQ(menu_count, 3);
    menu_result = 0;
    EXPECT_EQ(dialog.MakeMenu("Title\x1b"
                              "one"),
              0);
    menu_result = -5;
    EXPECT_EQ(dialog.MakeMenu("Title\x1b"
                              "one"),
              -5);
    EXPECT_EQ(dialog.MakeMenu("Title only"), -1);
}

TEST(DialogBridgeTest, HiddenDialogsOfferNoMenu) {
    void* table[8] = {};
    table[2] = reinterpret_cast<void*>(&Menu);
    Dialog dialog;
    dialog.SetDialogs(table, nullptr);
    dialog.Init("", 1000, false, false);
    EXPECT_EQ(dialog.MakeMenu("Title\x1b"
                              "one"),
              -1);
}

TEST(DialogBridgeTest, TextEntryNeverReadsPastTheBuffer) {
    void* table[8] = {};
    table[7] = reinterpret_cast<void*>(&FillInput);
    Dialog dialog;
    dialog.SetDialogs(table, nullptr);
    std::string value;
    EXPECT_EQ(dialog.StringInput("Prompt\x1b"
                                 "init",
                                 &value),
              0);
    EXPECT_EQ(value, std::string(100, 'z'));
}

TEST(DialogBridgeTest, KeyCodesAreMappedForThePinpad) {
    void* screen[8] = {};
    screen[5] = reinterpret_cast<void*>(&GetKey);
    Dialog dialog;
    dialog.SetDialogs(nullptr, screen);
    const std::pair<int, std::string> keys[] = {{8, "\x01="},
                                                {13, "\x01:"},
                                                {27, "\x01;"},
                                                {38,
                                                 "\x01"
                                                 "A"},
                                                {40, "\x01@"},
                                                {-1, "\x01;"},
                                                {'5',
                                                 "\x01"
                                                 "5"}};
    for (const auto& [code, text] : keys) {
        key_code = code;
        EXPECT_EQ(dialog.GetPOKey(), text) << code;
    }
}

}  // namespace
