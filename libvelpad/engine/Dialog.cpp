#include "engine/Dialog.h"

#include <cstring>
#include <vector>

#include "engine/Texts.h"
#include "engine/session/PinpadSession.h"
#include "ri/Map.h"
#include "ri/Trace.h"

namespace {

// Entries of the caller's dialog table.
using MenuFn = int (*)(const char* title, const char** items, int count, int64_t idle, int);
using YesNoFn = int (*)(const char* text, const char* question, int64_t idle, int);
using WarningFn = int (*)(const char* text, int64_t idle, int);
using TextFn = int (*)(const char* text, int);
using StringInputFn = int (*)(const char* prompt, const char* initial, char* buffer, int size, int,
                              int, int64_t idle, int);
// Entries of the caller's I344 screen table.
using ScreenFn = int (*)();
using PrintLineFn = int (*)(const char* text, int row, int column, int inverse);
using GetKeyFn = int (*)(int64_t idle);

enum DialogIndex { kMenu = 2, kYesNo = 3, kWarning = 4, kInfo = 5, kStatus = 6, kInput = 7 };
enum ScreenIndex { kOpen = 1, kClose = 2, kPrintLine = 3, kGetKey = 5 };

constexpr int kInputSize = 100;

template <typename Fn>
Fn As(void* entry) {
    return reinterpret_cast<Fn>(entry);
}

}  // namespace

Dialog::Dialog() : trace_(ri::Trace::Get()) {}

int Dialog::Init(const std::string& library_path, long idle_timeout, bool show, bool use_callback) {
    show_ = show;
    use_callback_ = use_callback;
    idle_timeout_ = idle_timeout;
    trace_->Debug("Dialog: Init: [%s] [%d]", library_path.c_str(), show ? 1 : 0);
    if (!show) trace_->Debug("Dialog: Init: show disable");
    return 0;
}

void Dialog::SetDialogs(void* dialog_table, void* screen_table) {
    if (dialog_table) dialog_table_ = static_cast<void* const*>(dialog_table);
    if (screen_table) screen_table_ = static_cast<void* const*>(screen_table);
}

// The default callback of a session is only stored: dialogs reach the caller
// through the tables.
void Dialog::SetCallback(void*) {}

void* Dialog::DialogEntry(int index) const {
    return dialog_table_ ? dialog_table_[index] : nullptr;
}

void* Dialog::ScreenEntry(int index) const {
    return screen_table_ ? screen_table_[index] : nullptr;
}

int Dialog::StatusReportConst(const PinpadSession& session, const char* text) {
    return DialogEntry(kStatus) != nullptr ? StatusReport(session.Encoding(text)) : 0;
}

int Dialog::StatusReport(const std::string& text) {
    if (auto fn = As<TextFn>(DialogEntry(kStatus))) fn(text.c_str(), 0);
    return 0;
}

int Dialog::WarningDlg(const std::string& text) {
    if (auto fn = As<WarningFn>(DialogEntry(kWarning))) fn(text.c_str(), idle_timeout_, 0);
    return 0;
}

int Dialog::InfoWin(const std::string& text) {
    if (auto fn = As<TextFn>(DialogEntry(kInfo))) fn(text.c_str(), 0);
    return 0;
}

int Dialog::YesNoDialog(const std::string& text, const std::string& question) {
    auto fn = As<YesNoFn>(DialogEntry(kYesNo));
    return fn ? fn(text.c_str(), question.c_str(), idle_timeout_, 0) : 0;
}

int Dialog::YesNoDialog_ex(const std::string&, const std::string&) {
    return 0;
}

int Dialog::ErrorReport(const std::string&) {
    return 0;
}

void Dialog::RestoreScreen() {}

int Dialog::MakeMenu(const std::string& text) {
    if (!show_) return -1;
    std::vector<std::string> fields = ri::Map::Explode(text, texts::kEscText);
    if (fields.size() < 2) {
        trace_->Error("Dialog: MakeMenu: too short menu: [%d] [%s]",
                      static_cast<int>(fields.size()), text.c_str());
        return -1;
    }
    auto fn = As<MenuFn>(DialogEntry(kMenu));
    if (!fn) return -1;
    std::vector<const char*> items;
    for (size_t i = 1; i < fields.size(); ++i) items.push_back(fields[i].c_str());
    int count = static_cast<int>(items.size() % 65536);
    int choice = fn(fields[0].c_str(), items.data(), count, idle_timeout_, 0);
    return choice >= 1 ? choice - 1 : choice;
}

int Dialog::StringInput(const std::string& text, std::string* value) {
    value->clear();
    if (!show_) return -1;
    std::vector<std::string> fields = ri::Map::Explode(text, texts::kEscText);
    if (fields.size() < 2) return -1;
    *value = fields[1];
    auto fn = As<StringInputFn>(DialogEntry(kInput));
    if (!fn) {
        value->clear();
        return -1;
    }
    // One byte more than the callback may fill, so that a callback that
    // writes all 100 bytes without a terminating zero is never read past.
    char buffer[kInputSize + 1] = {};
    int result =
        fn(fields[0].c_str(), fields[1].c_str(), buffer, kInputSize, 0, 0, idle_timeout_, 0);
    value->assign(buffer, strnlen(buffer, kInputSize));
    return result;
}

int Dialog::I344Open() {
    if (auto fn = As<ScreenFn>(ScreenEntry(kOpen))) fn();
    return 0;
}

int Dialog::I344Close() {
    if (auto fn = As<ScreenFn>(ScreenEntry(kClose))) fn();
    return 0;
}

int Dialog::I344PrintLine(int row, const std::string& text) {
    return I344PrintLine(row, 0, text, 0);
}

int Dialog::I344PrintLine(int row, int column, const std::string& text, int inverse) {
    if (auto fn = As<PrintLineFn>(ScreenEntry(kPrintLine))) fn(text.c_str(), row, column, inverse);
    return 0;
}

void Dialog::I344Redraw() {}

std::string Dialog::GetPOKey() {
    auto fn = As<GetKeyFn>(ScreenEntry(kGetKey));
    int code = fn ? fn(idle_timeout_) : -1;
    char key;
    switch (code) {
        case 8:
            key = '=';
            break;
        case 13:
            key = ':';
            break;
        case 27:
            key = ';';
            break;
        case 38:
            key = 'A';
            break;
        case 40:
            key = '@';
            break;
        default:
            key = code < 0 ? ';' : static_cast<char>(code);
    }
    return std::string("\x01") + key;
}
