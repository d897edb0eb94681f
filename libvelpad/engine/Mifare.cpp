// The read of one block of a contactless Mifare card, driven step by step by
// the pinpad's "MF:" reports: each report is acknowledged and answered with
// the next step (detect a card, authenticate the sector, read the block, or
// end). The read's parameters come from the session ("MF_TIMEOUT",
// "MF_SECTOR", "MF_KEY_TYPE", "MF_KEY_INDEX", "MF_BLOCK"); the block read is
// left in "MF_DATA", whose presence also marks the read as done.
#include <utility>

#include "engine/PPAD.h"
#include "ri/Conv.h"
#include "ri/Format.h"
#include "ri/Trace.h"

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

int PPAD::MifareNumber(const char* name) const {
    return static_cast<int>(ri::Conv::String::ToInt(tags_->Get(name)));
}

PPAD::Served PPAD::MifareProcess(const std::string& text) {
    // The block's data is card data: only its length reaches the trace. A
    // "DATA:" without any data is no read and is not reported as success.
    const bool data = text.size() > 5 && text.compare(0, 5, kData) == 0;
    if (data)
        trace_->Debug("MifareProcess: DATA: [%zu bytes]", text.size() - 5);
    else
        trace_->Debug("MifareProcess: %s", CardData::Message(text).c_str());
    if (text.find("ERROR") != std::string::npos) {
        SendOk();
        StoreCode(ErrorCode(text));
        return Answer(kEnd);
    }
    if (text == "TIMEOUT") {
        SendOk();
        StoreCode(kTimeout);
        return Answer(kEnd);
    }
    if (text == "START") {
        SendOk();
        const int timeout = MifareNumber("MF_TIMEOUT");
        if (tags_->Get("MF_TIMEOUT").empty() || timeout < 1) return Answer(kEnd);
        return Answer(ri::Format("MF:DETECT:%d", timeout));
    }
    if (text == "DETECTED") {
        SendOk();
        return Answer(ri::Format("MF:AUTH:%d,%d,%d", MifareNumber("MF_SECTOR"),
                                 MifareNumber("MF_KEY_TYPE"), MifareNumber("MF_KEY_INDEX")));
    }
    if (text == "OK") {
        if (!tags_->Get("MF_DATA").empty()) return AnswerOk();
        SendOk();
        return Answer(
            ri::Format("MF:READ:%d,%d", MifareNumber("MF_SECTOR"), MifareNumber("MF_BLOCK")));
    }
    if (data) {
        tags_->Add("MF_DATA", text.substr(5));
        SendOk();
        StoreCode(0);
        return Answer(kEnd);
    }
    return Answer(kEnd);
}
