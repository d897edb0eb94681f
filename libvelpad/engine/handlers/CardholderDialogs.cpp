// The pinpad's requests to show texts to the cashier and collect answers:
// status lines, warnings, information messages, yes/no questions, menus, text
// and amount entry, and the parameters of the pinpad's own input dialog. Each
// goes through the dialog bridge to the caller's tables; texts from the
// pinpad are converted for the operator's display first.
#include <algorithm>

#include "engine/RequestFields.h"
#include "engine/Texts.h"
#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

namespace handlers {

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

Served StatusMessage(Request& r, const std::string& text) {
    r.TraceShown("StatusMessage: ", text);
    r.dialog.StatusReport(r.Encoding(text));
    return r.reply.Ok();
}

Served Warning(Request& r, const std::string& text) {
    r.TraceShown("Warning: ", text);
    r.dialog.WarningDlg(r.Encoding(text));
    return r.reply.Ok();
}

// "INFO:" code "|" text. With "INFO_DIALOG" the code sets what Stop reports
// and the whole text, code included, is shown.
Served Info(Request& r, const std::string& text) {
    r.TraceShown("Info: ", text);
    std::string code;
    std::string rest;
    if (SplitFirst(text, '|', &code, &rest) && r.Has("INFO_DIALOG")) {
        const int answer = CancelAnswerFor(ri::Conv::String::ToInt(code));
        if (answer >= 0) r.state.cancelAnswer = answer;
        r.dialog.InfoWin(r.Encoding(text));
    }
    return r.reply.Ok();
}

Served YesNoRequest(Request& r, const std::string& text) {
    r.TraceShown("YesNoRequest: ", text);
    int answer = 0;
    if (!r.session.NoDialogs())
        answer = r.dialog.YesNoDialog(r.Encoding(text), r.Encoding(kYesNoQuestion));
    return r.reply.Number(answer);
}

Served MenuRequest(Request& r, const std::string& text) {
    r.TraceShown("MenuRequest: ", text);
    const int choice = r.dialog.MakeMenu(r.Encoding(text));
    return choice < -1 ? r.reply.Error() : r.reply.Number(choice);
}

Served DataRequest(Request& r, const std::string& text) {
    r.TraceShown("DataRequest: ", text);
    std::string value;
    const int result = r.dialog.StringInput(r.Encoding(text), &value);
    return r.reply.Answer(std::to_string(result) + kEsc + value);
}

Served AmountRequest(Request& r, const std::string& text) {
    r.TraceShown("AmountRequest: ", text);
    std::string value;
    const int result = r.dialog.StringInput(r.Encoding(text), &value);
    if (result < -1) return r.reply.Error();
    return r.reply.Answer(std::to_string(result) + kEsc + value);
}

// Tells the pinpad how to run an input dialog of its own, from the caller's
// parameters: title, format, minimum and maximum length.
Served DialogRequest(Request& r, const std::string&) {
    std::string title = r.tags.Get("DIALOGRQ_TITLE");
    if (title.empty()) title = kDialogTitle;
    const std::string format = r.tags.Get("DIALOGRQ_FORMAT");
    const long formatCode = format.empty() ? kDialogFormat : ri::Conv::String::ToInt(format) % 10;
    const long minimum = DialogLength(r.tags.Get("DIALOGRQ_MIN_LENGTH"), 0);
    const long maximum = DialogLength(r.tags.Get("DIALOGRQ_MAX_LENGTH"), kDialogMaxLength);
    r.reply.Send(title + kEsc + std::to_string(formatCode) + kEsc + std::to_string(minimum) + kEsc +
                 std::to_string(maximum));
    return kGoOn;
}

Served DialogResponse(Request& r, const std::string& text) {
    r.tags.Add("DIALOGRQ_RESPONSE", text);
    StoreCode(r, 0);
    return r.reply.Ok();
}

Served PhoneNumber(Request& r, const std::string& number) {
    r.tags.Add("phone_number", number.substr(0, number.find('\0')));
    r.log.Write("Processed phone number " + number);
    return r.reply.Ok();
}

const CommandRows& CardholderDialogCommands() {
    static const CommandRows rows = {
        {"STATUS:", StatusMessage, 1},
        {"WARNING:", Warning, 1},
        {"INFO:", Info, 1},
        {"YESNO:", YesNoRequest, 1},
        {"MENU:", MenuRequest, 1},
        {"DATAENTRY:", DataRequest, 1},
        {"AMOUNTENTRY:", AmountRequest, 1},
        {"DIALOGRQ:", DialogRequest, 1},
        {"DIALOGRES:", DialogResponse, 1},
        {"PHONENUMBER:", PhoneNumber, 1},
    };
    return rows;
}

}  // namespace handlers
