#include "engine/ledger/LedgerLine.h"

#include <cstdio>

namespace {

bool NeedsQuotes(const std::string& value) {
    if (value.empty()) return true;
    for (char c : value)
        if (c == ' ' || c == '"' || c == '=' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            return true;
    return false;
}

// The value with quotes, backslashes and control bytes escaped.
std::string Escaped(const std::string& value, bool json) {
    std::string out;
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char code[8];
            std::snprintf(code, sizeof(code), json ? "\\u%04x" : "\\x%02X", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

void Field(std::string& line, const char* key, const std::string& value) {
    if (value.empty()) return;
    if (!line.empty()) line += ' ';
    line += key;
    line += '=';
    line += NeedsQuotes(value) ? '"' + Escaped(value, false) + '"' : value;
}

std::string Code(const LedgerRecord& r) {
    return r.hasResult ? std::to_string(r.resultCode) : std::string();
}

std::string Duration(const LedgerRecord& r) {
    return r.durationMs < 0 ? std::string() : std::to_string(r.durationMs);
}

void JsonText(std::string& out, const char* key, const std::string& value, bool last = false) {
    out += std::string("\"") + key + "\":\"" + Escaped(value, true) + (last ? "\"" : "\",");
}

void JsonNumber(std::string& out, const char* key, const std::string& value) {
    out += std::string("\"") + key + "\":" + (value.empty() ? "null" : value) + ",";
}

}  // namespace

std::string LedgerLine(const LedgerRecord& r) {
    std::string line;
    Field(line, "run", std::to_string(r.id));
    Field(line, "started", r.started);
    Field(line, "ended", r.ended);
    Field(line, "operation", std::to_string(r.operation));
    Field(line, "name", r.operationName);
    Field(line, "outcome", r.outcome);
    Field(line, "code", Code(r));
    Field(line, "text", r.resultText);
    Field(line, "amount", r.amount);
    Field(line, "currency", r.currency);
    Field(line, "terminal", r.terminalId);
    Field(line, "card", r.cardNumber);
    Field(line, "card_type", r.cardType);
    Field(line, "rrn", r.rrn);
    Field(line, "auth_code", r.authCode);
    Field(line, "receipt", r.receiptNumber);
    Field(line, "duration_ms", Duration(r));
    Field(line, "recovery", r.recovery);
    return line;
}

std::string LedgerJson(const std::vector<LedgerRecord>& records) {
    std::string out = "[";
    for (const LedgerRecord& r : records) {
        if (out.size() > 1) out += ",";
        out += "\n{";
        JsonNumber(out, "run", std::to_string(r.id));
        JsonText(out, "started", r.started);
        JsonText(out, "ended", r.ended);
        JsonNumber(out, "operation", std::to_string(r.operation));
        JsonText(out, "name", r.operationName);
        JsonText(out, "outcome", r.outcome);
        JsonNumber(out, "code", Code(r));
        JsonText(out, "text", r.resultText);
        JsonText(out, "amount", r.amount);
        JsonText(out, "currency", r.currency);
        JsonText(out, "terminal", r.terminalId);
        JsonText(out, "card", r.cardNumber);
        JsonText(out, "card_type", r.cardType);
        JsonText(out, "rrn", r.rrn);
        JsonText(out, "auth_code", r.authCode);
        JsonText(out, "receipt", r.receiptNumber);
        JsonNumber(out, "duration_ms", Duration(r));
        JsonText(out, "recovery", r.recovery, true);
        out += "}";
    }
    return out + (records.empty() ? "]\n" : "\n]\n");
}
