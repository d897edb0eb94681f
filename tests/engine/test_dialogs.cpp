// Cardholder dialogs and the I344 screen, served through recording callback
// tables in place of the register's screens.
#include <cstring>

#include "EngineFixture.h"
#include "ri/Conv.h"

namespace {

// What the callbacks saw, and what they answer.
struct Screen {
    std::vector<std::string> texts;  // status, warning, info, prompts, questions
    std::vector<std::string> lines;  // I344 lines as "row,column,inverse:text"
    int calls = 0;
    int answer = 0;
    std::string entered;
    int opens = 0;
    int closes = 0;
    int key = 0;
};
Screen screen;

int Text(const char* text, int) {
    screen.texts.emplace_back(text);
    return 0;
}
int Warning(const char* text, int64_t, int) {
    return Text(text, 0);
}
int YesNo(const char* text, const char* question, int64_t, int) {
    ++screen.calls;
    screen.texts.emplace_back(text);
    screen.texts.emplace_back(question);
    return screen.answer;
}
int Menu(const char* title, const char** items, int count, int64_t, int) {
    ++screen.calls;
    screen.texts.emplace_back(title);
    for (int i = 0; i < count; ++i) screen.texts.emplace_back(items[i]);
    return screen.answer;
}
int Input(const char* prompt, const char* initial, char* buffer, int size, int, int, int64_t, int) {
    ++screen.calls;
    screen.texts.emplace_back(prompt);
    screen.texts.emplace_back(initial);
    memcpy(buffer, screen.entered.data(), std::min<size_t>(screen.entered.size(), size));
    return screen.answer;
}
int Open() {
    return ++screen.opens;
}
int Close() {
    return ++screen.closes;
}
int PrintLine(const char* text, int row, int column, int inverse) {
    screen.lines.push_back(std::to_string(row) + "," + std::to_string(column) + "," +
                           std::to_string(inverse) + ":" + text);
    return 0;
}
int GetKey(int64_t) {
    return screen.key;
}

// "ДА/НЕТ?" in CP1251 and in UTF-8.
const char kQuestion1251[] = "\xC4\xC0/\xCD\xC5\xD2?";
const char kQuestionUtf8[] = "\xD0\x94\xD0\x90/\xD0\x9D\xD0\x95\xD0\xA2?";

class DialogsTest : public EngineFixture {
protected:
    void SetUp() override {
        screen = Screen();
        dialogs_[2] = reinterpret_cast<void*>(&Menu);
        dialogs_[3] = reinterpret_cast<void*>(&YesNo);
        dialogs_[4] = reinterpret_cast<void*>(&Warning);
        dialogs_[5] = reinterpret_cast<void*>(&Text);
        dialogs_[6] = reinterpret_cast<void*>(&Text);
        dialogs_[7] = reinterpret_cast<void*>(&Input);
        screens_[1] = reinterpret_cast<void*>(&Open);
        screens_[2] = reinterpret_cast<void*>(&Close);
        screens_[3] = reinterpret_cast<void*>(&PrintLine);
        screens_[5] = reinterpret_cast<void*>(&GetKey);
    }

    // Hands the callback tables to the engine (dialogs shown unless
    // "NODIALOGS" is set).
    void WithTables() {
        Engine().Dialogs().Init("", 1000, !Engine().Settings().IsExist("NODIALOGS"), false);
        Engine().Dialogs().SetDialogs(dialogs_, screens_);
    }

    // Sends one pinpad command and returns the engine's last reply.
    std::string Ask(const std::string& command) {
        Engine().ProcessCommand(command);
        return link->sent.empty() ? "<none>" : Sent().back();
    }

    void* dialogs_[8] = {};
    void* screens_[8] = {};
};

TEST_F(DialogsTest, YesNoPassesTheAnswerOn) {
    WithTables();
    screen.answer = 7;
    EXPECT_EQ(Ask("YESNO:Print?"), "7");
    EXPECT_EQ(screen.texts, (std::vector<std::string>{"Print?", kQuestion1251}));
}

TEST_F(DialogsTest, NoDialogsAnswerTheirDefaultsWithoutCallbacks) {
    Ini("NODIALOGS=1\n");
    WithTables();
    screen.answer = 1;
    EXPECT_EQ(Ask("YESNO:Print?"), "0");
    EXPECT_EQ(Ask("MENU:T\x1b"
                  "a\x1b"
                  "b"),
              "-1");
    EXPECT_EQ(Ask("DATAENTRY:P\x1b"
                  "x"),
              "-1\x1b");
    EXPECT_EQ(screen.calls, 0);
}

TEST_F(DialogsTest, WithoutTablesEveryRequestGetsItsDefault) {
    EXPECT_EQ(Ask("YESNO:Print?"), "0");
    EXPECT_EQ(Ask("MENU:T\x1b"
                  "a\x1b"
                  "b"),
              "-1");
    EXPECT_EQ(Ask("DATAENTRY:P\x1b"
                  "init"),
              "-1\x1b");
    EXPECT_EQ(Ask("AMOUNTENTRY:P\x1b"
                  "init"),
              "-1\x1b");
    EXPECT_EQ(Ask("STATUS:x"), "OK");
    EXPECT_EQ(Ask(std::string("I344:\x00\x0A", 7)), "\x01;");
}

TEST_F(DialogsTest, MenuCountsItemsFromZeroAndRefusesBadResults) {
    WithTables();
    screen.answer = 2;
    EXPECT_EQ(Ask("MENU:Title\x1b"
                  "one\x1b"
                  "two\x1b"
                  "three"),
              "1");
    EXPECT_EQ(screen.texts, (std::vector<std::string>{"Title", "one", "two", "three"}));
    EXPECT_EQ(Ask("MENU:Title only"), "-1");
    screen.answer = 0;
    EXPECT_EQ(Ask("MENU:T\x1b"
                  "a"),
              "0");
    screen.answer = -5;
    EXPECT_EQ(Ask("MENU:T\x1b"
                  "a"),
              "ER");
}

TEST_F(DialogsTest, TextEntryAnswersCodeAndEnteredText) {
    WithTables();
    screen.entered = "4455";
    EXPECT_EQ(Ask("DATAENTRY:Card?\x1b"
                  "44"),
              "0\x1b"
              "4455");
    EXPECT_EQ(screen.texts, (std::vector<std::string>{"Card?", "44"}));
    screen.answer = -2;
    EXPECT_EQ(Ask("DATAENTRY:Card?\x1b"
                  "44"),
              "-2\x1b"
              "4455");
    EXPECT_EQ(Ask("AMOUNTENTRY:Sum?\x1b"
                  "0"),
              "ER");
    screen.answer = 1;
    screen.entered = "1500";
    EXPECT_EQ(Ask("AMOUNTENTRY:Sum?\x1b"
                  "0"),
              "1\x1b"
              "1500");
}

TEST_F(DialogsTest, TextEntryFillingTheWholeBufferIsReadNoFurther) {
    WithTables();
    screen.entered = std::string(150, 'z');
    EXPECT_EQ(Ask("DATAENTRY:Card?\x1b"), "-1\x1b");  // no initial text field
    EXPECT_EQ(Ask("DATAENTRY:Card?\x1b"
                  "1"),
              "0\x1b" + std::string(100, 'z'));
}

TEST_F(DialogsTest, TextsReachTheDialogsInUtf8WhenTheOperatorCharsetAsks) {
    Ini("OPCHARSET=UTF-8\n");
    WithTables();
    Ask("STATUS:\xC4\xC0");     // "ДА"
    Ask("YESNO:\xCD\xC5\xD2");  // "НЕТ"
    EXPECT_EQ(screen.texts, (std::vector<std::string>{"\xD0\x94\xD0\x90",
                                                      "\xD0\x9D\xD0\x95\xD0\xA2", kQuestionUtf8}));
}

TEST_F(DialogsTest, InfoCodesSetWhatStopReports) {
    Ini("INFO_DIALOG=1\n");
    WithTables();
    EXPECT_EQ(Ask("INFO:31|Card read"), "OK");
    EXPECT_EQ(Engine().Stop(), -1);
    Ask("INFO:30|Wait");
    EXPECT_EQ(Engine().Stop(), 0);
    Ask("INFO:9|Done");
    EXPECT_EQ(Engine().Stop(), 1);
    Ask("INFO:5|Other");
    EXPECT_EQ(Engine().Stop(), 1);
    Ask("INFO:no bar");
    EXPECT_EQ(screen.texts,
              (std::vector<std::string>{"31|Card read", "30|Wait", "9|Done", "5|Other"}));
}

TEST_F(DialogsTest, InfoWithoutTheSettingOnlyAnswers) {
    WithTables();
    EXPECT_EQ(Ask("INFO:31|Card read"), "OK");
    EXPECT_EQ(Engine().Stop(), 0);
    EXPECT_TRUE(screen.texts.empty());
}

TEST_F(DialogsTest, DialogRequestDefaultsAndCaps) {
    // "Введите данные:"
    const std::string title = "\xC2\xE2\xE5\xE4\xE8\xF2\xE5 \xE4\xE0\xED\xED\xFB\xE5:";
    tags.Add("DIALOGRQ_MAX_LENGTH", "50");
    EXPECT_EQ(Ask("DIALOGRQ:"), title +
                                    "\x1b"
                                    "4\x1b"
                                    "0\x1b"
                                    "32");
    tags.Add("DIALOGRQ_TITLE", "Phone");
    tags.Add("DIALOGRQ_FORMAT", "17");
    tags.Add("DIALOGRQ_MIN_LENGTH", "-3");
    tags.Add("DIALOGRQ_MAX_LENGTH", "12");
    EXPECT_EQ(Ask("DIALOGRQ:"),
              "Phone\x1b"
              "7\x1b"
              "0\x1b"
              "12");
}

TEST_F(DialogsTest, DialogResponseAndPhoneNumberAreStored) {
    EXPECT_EQ(Ask("DIALOGRES:12345"), "OK");
    EXPECT_EQ(tags.Get("DIALOGRQ_RESPONSE"), "12345");
    EXPECT_EQ(ri::Conv::String::ToInt(tags.Get("response_code")), 0);  // was 999
    EXPECT_EQ(Ask(std::string("PHONENUMBER:+79001234567\0tail", 29)), "OK");
    EXPECT_EQ(tags.Get("phone_number"), "+79001234567");
}

TEST_F(DialogsTest, I344PrintsClearsAndClosesTheScreenOnce) {
    WithTables();
    const std::string commands = std::string(
                                     "\x00\x08"
                                     "3ABCDEFGHIJKLMNOP",
                                     19) +
                                 std::string(
                                     "\x00\x05"
                                     "2",
                                     3) +
                                 std::string("\x00\x04", 2) + std::string("\x00\x04", 2);
    EXPECT_EQ(Ask("I344:" + commands), "");
    EXPECT_EQ(link->sent.back(), std::string("\x01\x00\x00", 3));  // a true empty frame
    EXPECT_EQ(screen.lines, (std::vector<std::string>{"3,0,0:ABCDEFGHIJKLMNOP",
                                                      "2,0,0:" + std::string(16, ' ')}));
    EXPECT_EQ(screen.opens, 1);
    EXPECT_EQ(screen.closes, 1);
    // "ОБРАБОТКА..."
    EXPECT_EQ(screen.texts, (std::vector<std::string>{"\xCE\xC1\xD0\xC0\xC1\xCE\xD2\xCA\xC0..."}));
}

TEST_F(DialogsTest, I344KeyReadAndIdentify) {
    WithTables();
    screen.key = 13;
    EXPECT_EQ(Ask(std::string("I344:\x00\x0A", 7)), "\x01:");
    screen.key = -4;
    EXPECT_EQ(Ask(std::string("I344:\x00\x0A", 7)), "\x01;");
    screen.key = '5';
    Ask(std::string("I344:\x00\x0A\x00\x13", 9));
    const std::vector<std::string> sent = Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2],
              "\x0C"
              "HSCL33WW0400");
    EXPECT_EQ(sent.back(), "");
}

TEST_F(DialogsTest, I344CommandsCutShortReadNothingPastThePayload) {
    WithTables();
    EXPECT_EQ(Ask(std::string("I344:\x00\x08"
                              "3ABC",
                              11)),
              "");
    EXPECT_EQ(Ask(std::string("I344:\x00", 6)), "");
    EXPECT_EQ(Ask(std::string("I344:\x00\x05", 7)), "");
    EXPECT_EQ(Ask(std::string("I344:\x00x\x1b", 8)), "");
    EXPECT_EQ(Ask(std::string("I344:\x00x\x1b"
                              "2\x10",
                              10)),
              "");
    EXPECT_EQ(Ask(std::string("I344:\x00x\x1b"
                              "4",
                              9)),
              "");
    EXPECT_TRUE(screen.lines.empty());
}

TEST_F(DialogsTest, I344DisplayStreamPlacesTextByPixels) {
    WithTables();
    // Position 16 (escaped), 32; inverse text; five ignored values; position
    // -16 (the signed byte 240), 32; plain text.
    const std::string stream = std::string("\x00x", 2) +
                               "\x1b"
                               "2\x10\x90\x20" +
                               "\x1b"
                               "44" +
                               "Hello, screen!!!" +
                               "\x1b"
                               "6\x01\x02\x03\x04\x05" +
                               "\x1b"
                               "2\xF0\x20" +
                               "\x1b"
                               "40"
                               "Hi";
    EXPECT_EQ(Ask("I344:" + stream), "");
    EXPECT_EQ(screen.lines, (std::vector<std::string>{"2,2,1:Hello, screen!!!", "2,-2,0:Hi"}));
    EXPECT_EQ(screen.opens, 2);
}

TEST_F(DialogsTest, I344UnknownStreamCommandGoesBackToTheCommandLoop) {
    WithTables();
    screen.key = 40;
    // The sub-command byte "Z" becomes the unexamined byte of a key read.
    EXPECT_EQ(Ask(std::string("I344:\x00x\x1b"
                              "Z\x0A",
                              10)),
              "\x01@");
    EXPECT_TRUE(screen.lines.empty());
}

}  // namespace
