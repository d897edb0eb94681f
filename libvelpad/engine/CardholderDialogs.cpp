// The pinpad's requests to show texts to the cashier and collect answers:
// status lines, warnings, information messages, yes/no questions, menus, text
// and amount entry, and the parameters of the pinpad's own input dialog. Each
// goes through the dialog bridge to the caller's tables; texts from the
// pinpad are converted for the operator's display first.
#include <algorithm>

#include "engine/PPAD.h"
#include "engine/RequestFields.h"
#include "engine/Texts.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

namespace {

using texts::kEsc;
using texts::kYesNoQuestion;

// "Введите данные:"
const char kDialogTitle[] = "\xC2\xE2\xE5\xE4\xE8\xF2\xE5 \xE4\xE0\xED\xED\xFB\xE5:";

// Defaults and bounds of the pinpad's input dialog.
constexpr long kDialogFormat = 4;
constexpr long kDialogMaxLength = 32;

// Information codes of the pinpad and the cancel answer each one sets.
constexpr int kInfoMayCancel = 30;
constexpr int kCancelAllowed = 0;
constexpr int kCancelRefused = 1;
constexpr int kCancelFinished = 10;

// The cancel answer for an information code; -1 leaves it as it is.
int CancelAnswerFor(long code) {
    switch (code) {
        case kInfoMayCancel:
            return kCancelAllowed;
        case 0:
        case 31:
            return kCancelRefused;
        case 9:
        case 32:
            return kCancelFinished;
        default:
            return -1;
    }
}

// A length parameter of the input dialog: its number held within
// [0, kDialogMaxLength], or the default when the parameter is empty.
long DialogLength(const std::string& value, long fallback) {
    if (value.empty()) return fallback;
    return std::clamp(ri::Conv::String::ToInt(value), 0L, kDialogMaxLength);
}

}  // namespace

PPAD::Served PPAD::StatusMessage(const std::string& text) {
    TraceShown("StatusMessage: ", text);
    dialog_.StatusReport(Encoding(text));
    return AnswerOk();
}

PPAD::Served PPAD::Warning(const std::string& text) {
    TraceShown("Warning: ", text);
    dialog_.WarningDlg(Encoding(text));
    return AnswerOk();
}

// "INFO:" code "|" text. With "INFO_DIALOG" the code sets what Stop reports
// and the whole text, code included, is shown.
PPAD::Served PPAD::Info(const std::string& text) {
    TraceShown("Info: ", text);
    std::string code;
    std::string rest;
    if (SplitFirst(text, '|', &code, &rest) && Has("INFO_DIALOG")) {
        const int answer = CancelAnswerFor(ri::Conv::String::ToInt(code));
        if (answer >= 0) cancel_answer_ = answer;
        dialog_.InfoWin(Encoding(text));
    }
    return AnswerOk();
}

PPAD::Served PPAD::YesNoRequest(const std::string& text) {
    TraceShown("YesNoRequest: ", text);
    int answer = 0;
    if (!Has("NODIALOGS")) answer = dialog_.YesNoDialog(Encoding(text), Encoding(kYesNoQuestion));
    return AnswerNumber(answer);
}

PPAD::Served PPAD::MenuRequest(const std::string& text) {
    TraceShown("MenuRequest: ", text);
    const int choice = dialog_.MakeMenu(Encoding(text));
    return choice < -1 ? AnswerError() : AnswerNumber(choice);
}

PPAD::Served PPAD::DataRequest(const std::string& text) {
    TraceShown("DataRequest: ", text);
    std::string value;
    const int result = dialog_.StringInput(Encoding(text), &value);
    return Answer(std::to_string(result) + kEsc + value);
}

PPAD::Served PPAD::AmountRequest(const std::string& text) {
    TraceShown("AmountRequest: ", text);
    std::string value;
    const int result = dialog_.StringInput(Encoding(text), &value);
    if (result < -1) return AnswerError();
    return Answer(std::to_string(result) + kEsc + value);
}

// Tells the pinpad how to run an input dialog of its own, from the caller's
// parameters: title, format, minimum and maximum length.
PPAD::Served PPAD::DialogRequest(const std::string&) {
    std::string title = tags_->Get("DIALOGRQ_TITLE");
    if (title.empty()) title = kDialogTitle;
    const std::string format = tags_->Get("DIALOGRQ_FORMAT");
    const long formatCode = format.empty() ? kDialogFormat : ri::Conv::String::ToInt(format) % 10;
    const long minimum = DialogLength(tags_->Get("DIALOGRQ_MIN_LENGTH"), 0);
    const long maximum = DialogLength(tags_->Get("DIALOGRQ_MAX_LENGTH"), kDialogMaxLength);
    SendMsg(title + kEsc + std::to_string(formatCode) + kEsc + std::to_string(minimum) + kEsc +
            std::to_string(maximum));
    return kGoOn;
}

PPAD::Served PPAD::DialogResponse(const std::string& text) {
    tags_->Add("DIALOGRQ_RESPONSE", text);
    StoreCode(0);
    return AnswerOk();
}

PPAD::Served PPAD::PhoneNumber(const std::string& number) {
    tags_->Add("phone_number", number.substr(0, number.find('\0')));
    log_.Write("Processed phone number " + number);
    return AnswerOk();
}
