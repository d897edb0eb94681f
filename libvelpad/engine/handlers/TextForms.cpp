#include "engine/handlers/TextForms.h"

#include "config/CardData.h"
#include "ri/Trace.h"

std::string GetAmountStr(const std::string& amount) {
    if (amount.empty()) return "";
    if (amount.size() == 1) return "00.0" + amount;
    if (amount.size() == 2) return "00." + amount;
    return amount.substr(0, amount.size() - 2) + "." + amount.substr(amount.size() - 2);
}

std::string FormatPAN(const std::string& pan) {
    std::string grouped;
    int digits = 0;
    for (char c : pan) {
        if (c < '0' || c > '9') continue;
        grouped += c;
        if (++digits % 4 == 0) grouped += ' ';
    }
    return grouped;
}

void GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry) {
    std::string number;
    std::string date;
    const std::string body = !track.empty() && track[0] == ';' ? track.substr(1) : track;
    const size_t separator = body.find('=');
    if (separator != std::string::npos) {
        number = body.substr(0, separator);
        const std::string rest = body.substr(separator + 1);
        if (rest.size() >= 4) date = rest.substr(0, 2) + "/" + rest.substr(2, 2);
    }
    if (pan) *pan = number;
    if (expiry) *expiry = date;
}

void formatAmount(const std::string& amount, std::string& out) {
    out.assign(12, '0');
    if (amount.size() <= out.size()) out.replace(out.size() - amount.size(), amount.size(), amount);
}

std::string GetAmountStr(const std::string& amount, ri::Trace& trace) {
    trace.Debug4("GetAmountStr: %s", amount.c_str());
    return GetAmountStr(amount);
}

std::string FormatPAN(const std::string& pan, ri::Trace& trace) {
    trace.Debug4("FormatPAN: %s", CardData::Value("pan", pan).c_str());
    return FormatPAN(pan);
}

void GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry,
                   ri::Trace& trace) {
    trace.Debug4("GetPanExpDate: %s", CardData::Value("track2_data", track).c_str());
    GetPanExpDate(track, pan, expiry);
}
