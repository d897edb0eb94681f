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

struct Shown {
    const char* key;
    std::string value;
    bool number;
};

// The fields of a record in the order both forms show them.
std::vector<Shown> Fields(const LedgerRecord& r) {
    return {{"run", std::to_string(r.id), true},
            {"started", r.started, false},
            {"ended", r.ended, false},
            {"operation", std::to_string(r.operation), true},
            {"name", r.operationName, false},
            {"outcome", r.outcome, false},
            {"code", r.hasResult ? std::to_string(r.resultCode) : std::string(), true},
            {"text", r.resultText, false},
            {"amount", r.amount, false},
            {"currency", r.currency, false},
            {"terminal", r.terminalId, false},
            {"card", r.cardNumber, false},
            {"card_type", r.cardType, false},
            {"rrn", r.rrn, false},
            {"auth_code", r.authCode, false},
            {"receipt", r.receiptNumber, false},
            {"duration_ms", r.durationMs < 0 ? std::string() : std::to_string(r.durationMs), true},
            {"recovery", r.recovery, false}};
}

}  // namespace

std::string LedgerLine(const LedgerRecord& r) {
    std::string line;
    for (const Shown& field : Fields(r)) {
        if (field.value.empty()) continue;
        if (!line.empty()) line += ' ';
        line += std::string(field.key) + '=' +
                (NeedsQuotes(field.value) ? '"' + Escaped(field.value, false) + '"' : field.value);
    }
    return line;
}

std::string LedgerJson(const std::vector<LedgerRecord>& records) {
    std::string out = "[";
    for (const LedgerRecord& r : records) {
        if (out.size() > 1) out += ",";
        std::string object;
        for (const Shown& field : Fields(r)) {
            if (!object.empty()) object += ",";
            object += std::string("\"") + field.key + "\":";
            if (field.number)
                object += field.value.empty() ? "null" : field.value;
            else
                object += '"' + Escaped(field.value, true) + '"';
        }
        out += "\n{" + object + "}";
    }
    return out + (records.empty() ? "]\n" : "\n]\n");
}
