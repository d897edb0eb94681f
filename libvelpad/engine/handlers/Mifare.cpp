// The read of one block of a contactless Mifare card, driven step by step by
// the pinpad's "MF:" reports: each report is acknowledged and answered with
// the next step (detect a card, authenticate the sector, read the block, or
// end). The read's parameters come from the session ("MF_TIMEOUT",
// "MF_SECTOR", "MF_KEY_TYPE", "MF_KEY_INDEX", "MF_BLOCK"); the block read is
// left in "MF_DATA", whose presence also marks the read as done.
#include <utility>

#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

const char kEnd[] = "MF:END:";
const char kData[] = "DATA:";

// Result codes of the pinpad's error reports; any other error is -1.
constexpr std::pair<const char*, int> kErrorCodes[] = {
    {"FORMAT_ERROR", -5},
    {"NOCARD_ERROR", -6},
    {"KEYTYPE_ERROR", -8},
    {"KEYID_ERROR", -9},
};
constexpr int kOtherError = -1;
constexpr int kTimeout = -6;

int ErrorCode(const std::string& text) {
    for (const auto& [name, code] : kErrorCodes)
        if (text == name) return code;
    return kOtherError;
}

}  // namespace

int MifareNumber(const Request& r, const char* name) {
    return static_cast<int>(ri::Conv::String::ToInt(r.tags.Get(name)));
}

Served MifareProcess(Request& r, const std::string& text) {
    // The block's data is card data: only its length reaches the trace. A
    // "DATA:" without any data is no read and is not reported as success.
    const bool data = text.size() > 5 && text.compare(0, 5, kData) == 0;
    if (data)
        r.trace.Debug("MifareProcess: DATA: [%zu bytes]", text.size() - 5);
    else
        r.trace.Debug("MifareProcess: %s", CardData::Message(text).c_str());
    if (text.find("ERROR") != std::string::npos) {
        r.reply.Send("OK");
        StoreCode(r, ErrorCode(text));
        return r.reply.Answer(kEnd);
    }
    if (text == "TIMEOUT") {
        r.reply.Send("OK");
        StoreCode(r, kTimeout);
        return r.reply.Answer(kEnd);
    }
    if (text == "START") {
        r.reply.Send("OK");
        const int timeout = MifareNumber(r, "MF_TIMEOUT");
        if (r.tags.Get("MF_TIMEOUT").empty() || timeout < 1) return r.reply.Answer(kEnd);
        return r.reply.Answer(ri::Format("MF:DETECT:%d", timeout));
    }
    if (text == "DETECTED") {
        r.reply.Send("OK");
        return r.reply.Answer(ri::Format("MF:AUTH:%d,%d,%d", MifareNumber(r, "MF_SECTOR"),
                                         MifareNumber(r, "MF_KEY_TYPE"),
                                         MifareNumber(r, "MF_KEY_INDEX")));
    }
    if (text == "OK") {
        if (!r.tags.Get("MF_DATA").empty()) return r.reply.Ok();
        r.reply.Send("OK");
        return r.reply.Answer(
            ri::Format("MF:READ:%d,%d", MifareNumber(r, "MF_SECTOR"), MifareNumber(r, "MF_BLOCK")));
    }
    if (data) {
        r.tags.Add("MF_DATA", text.substr(5));
        r.reply.Send("OK");
        StoreCode(r, 0);
        return r.reply.Answer(kEnd);
    }
    return r.reply.Answer(kEnd);
}

const CommandRows& MifareCommands() {
    static const CommandRows rows = {
        {"MF:", MifareProcess, -1},
    };
    return rows;
}

}  // namespace handlers
