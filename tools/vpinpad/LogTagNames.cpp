#include "LogTagNames.h"

namespace vpinpad {

const std::vector<LogTagNames::Entry>& LogTagNames::All() {
    static const std::vector<Entry> names = {
        {"aid", 0x4F},
        {"application_label", 0x50},
        {"track2_data", 0x57},
        {"pan", 0x5A},
        {"auth_code", 0x89},
        {"tvr", 0x95},
        {"tsi", 0x9B},
        {"rrn", 0x1F03},
        {"receipt_number", 0x1F06},
        {"original_amount", 0x1F07},
        {"time", 0x1F08},
        {"date", 0x1F09},
        {"entry_mode", 0x1F0F},
        {"day_totals", 0x1F14},
        {"transaction_id", 0x1F1C},
        {"datetimehost", 0x1F1D},
        {"card_type", 0x1F26},
        {"auth_code_source", 0x1F2D},
        {"merchant_id", 0x1F47},
        {"track1_data", 0x1F70},
        {"terminal_idx", 0x1F73},
        {"loyalty_track2", 0x1F75},
        {"cardholder_name", 0x5F20},
        {"expiry", 0x5F24},
        {"result_amount", 0x9F02},
        {"mcc", 0x9F15},
        {"terminal_id", 0x9F1C},
        {"result_enc_data", 0xA1A1},
        {"info_dialog", 0x1F8004},
        {"symbol_action", 0x1F8009},
        {"loyalty_code", 0x1F800A},
        {"payment_data", 0x1F801E},
        {"trace_id", 0x1F812E},
        {"original_date_time", 0x1F812F},
        {"cardholder_id_type", 0x1F830F},
        {"loyalty_card_number", 0x1F831C},
        {"original_oper_type", 0x1F832A},
        {"bms_id", 0x1F8360},
        {"cash_amount", 0x1F8366},
        {"qr_pay_sys_id", 0x1F8369},
        {"mv_loyalty_code", 0x1F8410},
        {"bank_id", 0x1F8412},
        {"qrc_id", 0x1F8417},
        {"qr_payload", 0x1F8418},
        {"qr_transaction_id", 0x1F8419},
    };
    return names;
}

bool LogTagNames::Find(const std::string& name, std::uint64_t* tag) {
    for (const auto& [known, number] : All()) {
        if (name == known) {
            *tag = number;
            return true;
        }
    }
    // "0x" and up to sixteen hex digits: a tag the host has no name for.
    if (name.size() < 3 || name.size() > 18 || name.compare(0, 2, "0x") != 0 ||
        name.find_first_not_of("0123456789ABCDEF", 2) != std::string::npos) {
        return false;
    }
    *tag = std::stoull(name.substr(2), nullptr, 16);
    return true;
}

bool LogTagNames::IsCardNumber(const std::string& name) {
    return name == "pan" || name == "loyalty_card_number";
}

}  // namespace vpinpad
