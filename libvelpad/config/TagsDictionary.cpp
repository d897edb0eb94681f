#include <map>
#include <mutex>

#include "config/CardData.h"
#include "config/Tags.h"
#include "ri/Conv.h"
#include "ri/Format.h"

namespace {

// Guards the process-wide dictionary: sessions on other threads look names
// up while an engine being constructed may re-number one.
std::mutex dictionary_lock;

// Names by id, the first name in name order where two share an id; rebuilt
// after the dictionary changed. Guarded by dictionary_lock.
std::map<std::uint64_t, std::string>& NamesById() {
    static std::map<std::uint64_t, std::string> byId;
    return byId;
}
bool names_by_id_stale = true;

// Local tags: ids -1 to -12 as unsigned numbers.
constexpr std::uint64_t Local(int n) {
    return ~std::uint64_t{0} - static_cast<std::uint64_t>(n - 1);
}

}  // namespace

// A declared table: one line per tag name.
Tags::Dictionary& Tags::Names() {  // NOLINT(readability-function-size)
    static Dictionary names = {
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
        {"cmd", Local(1)},
        {"response_code", Local(2)},
        {"currency", Local(3)},
        {"text_message", Local(4)},
        {"rfu", Local(5)},
        {"amount", Local(6)},
        {"enc_data", Local(7)},
        {"addr_ip", Local(8)},
        {"port_ip", Local(9)},
        {"received_text_message", Local(10)},
        {"terminal_serial_number", Local(11)},
        {"phone_number", Local(12)},
    };
    return names;
}

bool Tags::FindId(const std::string& name, std::uint64_t* id) {
    std::lock_guard<std::mutex> guard(dictionary_lock);
    const auto found = Names().find(name);
    if (found == Names().end()) {
        return false;
    }
    *id = found->second;
    return true;
}

std::string Tags::NameOf(std::uint64_t id) {
    std::lock_guard<std::mutex> guard(dictionary_lock);
    std::map<std::uint64_t, std::string>& byId = NamesById();
    if (names_by_id_stale) {
        byId.clear();
        for (const auto& [name, named] : Names()) byId.emplace(named, name);
        names_by_id_stale = false;
    }
    const auto found = byId.find(id);
    return found == byId.end() ? std::string() : found->second;
}

void Tags::SetDictionary(const std::string& name, std::uint64_t id) {
    std::uint64_t old = 0;
    {
        std::lock_guard<std::mutex> guard(dictionary_lock);
        const auto found = Names().find(name);
        if (found == Names().end() || found->second == id) {
            return;
        }
        old = found->second;
        found->second = id;
        names_by_id_stale = true;
    }
    const auto stored = store_.find(old);
    if (stored != store_.end()) {
        std::string value = std::move(stored->second);
        store_.erase(stored);
        store_[id] = std::move(value);
    }
}

std::string Tags::PrintTags() const {
    std::string out;
    for (const auto& [id, value] : store_) {
        const std::string name = NameOf(id);
        if (name.empty()) {
            continue;
        }
        const std::string shown = CardData::Value(name, value);
        out += ri::Format("%20s: %s [ %s]\n", name.c_str(), shown.c_str(),
                          ri::HEX::ToString(shown, " ").c_str());
    }
    return out;
}
