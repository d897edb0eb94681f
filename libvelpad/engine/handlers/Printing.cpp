// Receipt printing: slip lines into the cheque file and the tag "slip", the
// caller's print buffer sent to the pinpad, the technical check, and the
// start-information and operation-details displays.
#include <vector>

#include "engine/RequestFields.h"
#include "engine/Texts.h"
#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "engine/handlers/TextForms.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Map.h"
#include "ri/Trace.h"

namespace handlers {

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

Served PrintMessage(Request& r, const std::string& line) {
    r.TraceShown("PrintMessage: ", line);
    r.outputs.printed = true;
    const std::string text = r.state.printerEscapes ? line : BlankEscapes(line);
    // A blank slip line stays a blank line of the cheque file.
    if (text.empty())
        r.outputs.cheque.WriteChar('\n');
    else
        r.outputs.cheque.Write(text, false);
    const std::string slip = r.tags.Get("slip");
    r.tags.Add("slip", slip.empty() ? text : slip + "\r\n" + text);
    return r.reply.Ok();
}

Served PrintRQ(Request& r, const std::string&) {
    r.log.Write("Print request");
    std::string buffer = r.tags.Get("print_buffer");
    if (buffer.empty()) return r.reply.Error();
    r.TraceShown("PrintRQ:\n", buffer);
    buffer = ri::Conv::String::Replace(buffer, "\r\n", "\n");
    buffer = ri::Conv::String::Replace(buffer, "\r", "\n");
    const std::vector<std::string> lines = ri::Map::Explode(buffer, "\n");
    if (lines.empty()) return r.reply.Error();
    std::string block;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (block.size() + lines[i].size() > kPrintBlock) {
            r.reply.Send("PRINT:" + block);
            block.clear();
        }
        block += lines[i] + "\n";
    }
    return r.reply.Answer("PRINTFINAL:" + block + lines.back() + "\n");
}

Served PrintOperation(Request& r, const std::string& details) {
    r.TraceShown("PrintOperation: ", details);
    int answer = 0;
    if (r.session.NoDialogs() || r.Has("CANCEL_LAST_OP_AUTO")) {
        answer = 1;
    } else {
        if (SplitFields(details, kEsc).size() < kOperationDetailsFields) return r.reply.Error();
        if (r.Has("DEF_OPDET_RESPONCE")) {
            const std::string preset = r.Setting("DEF_OPDET_RESPONCE");
            r.trace.Debug4("use default OPDET: %s", preset.c_str());
            answer = preset == "YES" ? 1 : 0;
        }
    }
    return r.reply.Number(answer);
}

void PrintTechCheck(Request& r, int code) {
    r.trace.Debug4("PrintTechCheck: %d", code);
    const int converted = r.config().rcConv[code];
    if (code >= kFirstErrorCode) {
        r.outputs.cheque.Write(kErrorLine, false);
        r.outputs.cheque.Write(ri::Format(kErrorCodeLine, converted, code), false);
    } else {
        r.outputs.cheque.Write(ri::Format(kAnswerCodeLine, converted, code), false);
    }
    r.outputs.cheque.Write(ResultText(r, code), false);
    r.outputs.cheque.Close();
}

// The message of a result code: by the code itself with "USEORIGINALRC",
// else by its converted code; the default result text when the table has none.
std::string ResultText(const Request& r, int code) {
    const int key = r.Has("USEORIGINALRC") ? code : r.config().rcConv[code];
    return r.config().rcResult.Get(key, r.Setting("DEFAULT_RC_STRING"));
}

void PrintInitInfo(Request& r, int operation) {
    r.trace.Debug4("PrintInitInfo: %d", operation);
    std::string text;
    if (operation > 0)
        text += r.Encoding(kOperationLabel) + r.config().operations.GetName(operation) + "\r\n";
    const std::string amount = r.tags.Get("amount");
    if (!amount.empty()) text += r.Encoding(kAmountLabel) + GetAmountStr(amount, r.trace) + "\r\n";
    const std::string track = r.tags.Get("rfu");
    if (r.Has("NO_PA_DSS") && !track.empty()) {
        std::string pan;
        std::string expiry;
        GetPanExpDate(track, &pan, &expiry, r.trace);
        // The cashier's screen shows the card number masked like every other place.
        text += r.Encoding(kCardLabel) + CardData::MaskPan(FormatPAN(pan, r.trace)) + "\r\n" +
                r.Encoding(kExpiryLabel) + expiry;
    }
    r.dialog.InfoWin(text);
}

const CommandRows& PrintingCommands() {
    static const CommandRows rows = {
        {"PRINT:", PrintMessage, 1},
        {"PRINTRQ:", PrintRQ, 1},
        {"OPDET:", PrintOperation, 1},
    };
    return rows;
}

}  // namespace handlers
