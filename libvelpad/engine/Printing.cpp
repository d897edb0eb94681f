// Receipt printing: slip lines into the cheque file and the tag "slip", the
// caller's print buffer sent to the pinpad, the technical check, and the
// start-information and operation-details displays.
#include <vector>

#include "engine/PPAD.h"
#include "engine/RequestFields.h"
#include "engine/Texts.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Map.h"
#include "ri/Trace.h"

namespace {

using texts::kEsc;

constexpr size_t kPrintBlock = 1023;
constexpr int kFirstErrorCode = 11;
constexpr size_t kOperationDetailsFields = 4;

// "ОШИБКА"
const char kErrorLine[] = "\xCE\xD8\xC8\xC1\xCA\xC0";
// "Код ошибки:%03i (%03i)"
const char kErrorCodeLine[] = "\xCA\xEE\xE4 \xEE\xF8\xE8\xE1\xEA\xE8:%03i (%03i)";
// "Код ответа:%03i (%03i)"
const char kAnswerCodeLine[] = "\xCA\xEE\xE4 \xEE\xF2\xE2\xE5\xF2\xE0:%03i (%03i)";
// "ОПЕРАЦИЯ: "
const char kOperationLabel[] = "\xCE\xCF\xC5\xD0\xC0\xD6\xC8\xDF: ";
// "СУММА: "
const char kAmountLabel[] = "\xD1\xD3\xCC\xCC\xC0: ";
// "№ КАРТЫ: "
const char kCardLabel[] = "\xB9 \xCA\xC0\xD0\xD2\xDB: ";
// "СРОК ГОДНОСТИ: "
const char kExpiryLabel[] = "\xD1\xD0\xCE\xCA \xC3\xCE\xC4\xCD\xCE\xD1\xD2\xC8: ";

// Printer control sequences (ESC and the byte after it, or an ESC that ends
// the line) become two blanks.
std::string BlankEscapes(std::string line) {
    for (size_t at = line.find(kEsc); at != std::string::npos; at = line.find(kEsc, at))
        line.replace(at, 2, "  ");
    return line;
}

}  // namespace

PPAD::Served PPAD::PrintMessage(const std::string& line) {
    TraceShown("PrintMessage: ", line);
    outputs_.printed = true;
    const std::string text = printer_esc_ ? line : BlankEscapes(line);
    // A blank slip line stays a blank line of the cheque file.
    if (text.empty())
        outputs_.cheque.WriteChar('\n');
    else
        outputs_.cheque.Write(text, false);
    const std::string slip = tags_->Get("slip");
    tags_->Add("slip", slip.empty() ? text : slip + "\r\n" + text);
    return AnswerOk();
}

PPAD::Served PPAD::PrintRQ(const std::string&) {
    log_.Write("Print request");
    std::string buffer = tags_->Get("print_buffer");
    if (buffer.empty()) return AnswerError();
    TraceShown("PrintRQ:\n", buffer);
    buffer = ri::Conv::String::Replace(buffer, "\r\n", "\n");
    buffer = ri::Conv::String::Replace(buffer, "\r", "\n");
    const std::vector<std::string> lines = ri::Map::Explode(buffer, "\n");
    if (lines.empty()) return AnswerError();
    std::string block;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (block.size() + lines[i].size() > kPrintBlock) {
            SendMsg("PRINT:" + block);
            block.clear();
        }
        block += lines[i] + "\n";
    }
    return Answer("PRINTFINAL:" + block + lines.back() + "\n");
}

PPAD::Served PPAD::PrintOperation(const std::string& details) {
    TraceShown("PrintOperation: ", details);
    int answer = 0;
    if (Has("NODIALOGS") || Has("CANCEL_LAST_OP_AUTO")) {
        answer = 1;
    } else {
        if (SplitFields(details, kEsc).size() < kOperationDetailsFields) return AnswerError();
        if (Has("DEF_OPDET_RESPONCE")) {
            const std::string preset = Setting("DEF_OPDET_RESPONCE");
            trace_->Debug4("use default OPDET: %s", preset.c_str());
            answer = preset == "YES" ? 1 : 0;
        }
    }
    return AnswerNumber(answer);
}

void PPAD::PrintTechCheck(int code) {
    trace_->Debug4("PrintTechCheck: %d", code);
    const int converted = config_.rcConv[code];
    if (code >= kFirstErrorCode) {
        outputs_.cheque.Write(kErrorLine, false);
        outputs_.cheque.Write(ri::Format(kErrorCodeLine, converted, code), false);
    } else {
        outputs_.cheque.Write(ri::Format(kAnswerCodeLine, converted, code), false);
    }
    outputs_.cheque.Write(ResultText(code), false);
    outputs_.cheque.Close();
}

// The message of a result code: by the code itself with "USEORIGINALRC",
// else by its converted code; the default result text when the table has none.
std::string PPAD::ResultText(int code) {
    const int key = Has("USEORIGINALRC") ? code : config_.rcConv[code];
    return config_.rcResult.Get(key, Setting("DEFAULT_RC_STRING"));
}

void PPAD::PrintInitInfo(int operation) {
    trace_->Debug4("PrintInitInfo: %d", operation);
    std::string text;
    if (operation > 0)
        text += Encoding(kOperationLabel) + config_.operations.GetName(operation) + "\r\n";
    const std::string amount = tags_->Get("amount");
    if (!amount.empty()) text += Encoding(kAmountLabel) + GetAmountStr(amount) + "\r\n";
    const std::string track = tags_->Get("rfu");
    if (Has("NO_PA_DSS") && !track.empty()) {
        std::string pan;
        std::string expiry;
        GetPanExpDate(track, &pan, &expiry);
        // The cashier's screen shows the card number masked like every other place.
        text += Encoding(kCardLabel) + CardData::MaskPan(FormatPAN(pan)) + "\r\n" +
                Encoding(kExpiryLabel) + expiry;
    }
    dialog_.InfoWin(text);
}
