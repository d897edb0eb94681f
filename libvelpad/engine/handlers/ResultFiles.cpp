// The result files written when the pinpad delivers its result tags: the
// output file (one value per line, shaped by an optional template) and the
// variable-environment file (KEY=VALUE lines).
#include <fstream>
#include <utility>
#include <vector>

#include "engine/handlers/RunRecords.h"
#include "engine/handlers/TextForms.h"
#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

// Output-file keys and the tags they name, in the default order.
using FieldTable = std::vector<std::pair<std::string, std::string>>;

FieldTable DefaultFields(const Tags& tags) {
    const std::string label =
        tags.Get("application_label").empty() ? "card_type" : "application_label";
    return {{"RESULTCODE", "response_code"},
            {"PAN", "pan"},
            {"TERMINALID", "terminal_id"},
            {"AUTHCODE", "auth_code"},
            {"APPLABLE", label},
            {"MESSAGE", "text_message"},
            {"AMOUNT", "amount"},
            {"RRN", "rrn"},
            {"SYMBOL_ACTION", "symbol_action"},
            {"LOYALTY_CODE", "loyalty_code"},
            {"TRANSACTIONID", "transaction_id"}};
}

// The entries a template names, in its order; words that are no key are
// skipped. The default table when the template cannot be read.
FieldTable TemplateFields(const std::string& path, const FieldTable& defaults) {
    std::ifstream in(path);
    if (path.empty() || !in.is_open()) return defaults;
    FieldTable fields;
    std::string word;
    while (in >> word) {
        for (const auto& field : defaults)
            if (field.first == word) fields.push_back(field);
    }
    return fields;
}

// Both files hold one value per line and are read by line: a line break or
// other control byte inside a value becomes a blank, so a value can neither
// shift the lines behind it nor add a KEY=VALUE line of its own.
std::string OneLine(std::string value) {
    for (char& c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return value;
}

// Three bytes of a packed time stamp as two-digit hexadecimal numbers.
std::string PackedPart(const std::string& stamp, size_t from, char separator) {
    if (stamp.size() < 7) return "";
    std::string text;
    for (size_t i = from; i < from + 3; ++i) {
        if (i > from) text += separator;
        text += ri::HEX::ToString(stamp.substr(i, 1));
    }
    return text;
}

}  // namespace

void SaveOutputFile(Request& r) {
    r.trace.Debug4("SaveOutputFile");
    FieldTable fields = DefaultFields(r.tags);
    if (r.Has("OUTPUT_FILE_TEMPLATE"))
        fields = TemplateFields(r.Setting("OUTPUT_FILE_TEMPLATE"), fields);
    if (!r.Has("OUTPUT_FILE")) return;
    std::string content;
    // The card number is written masked; the store keeps it as the pinpad sent it.
    for (const auto& field : fields)
        content += OneLine(CardData::ResultValue(field.second, r.tags.Get(field.second))) + "\n";
    if (!r.outputs.outputFile.Write(r.Setting("OUTPUT_FILE"), content)) {
        r.trace.Error("PPAD: output file [%s] cannot be written", r.Setting("OUTPUT_FILE").c_str());
        r.outputs.Lost(r.Setting("OUTPUT_FILE"));
    }
}

void SaveVarEnv(Request& r) {
    // Resolved with the result files; taken from the settings directory here
    // as well for a run that keeps no logs.
    const std::string path = r.session.config().registry.Resolve(r.Setting("VAR_ENV_FILE"));
    if (path.empty()) return;
    const std::string stamp = r.tags.Get("datetimehost");
    std::string amount;
    formatAmount(r.tags.Get("amount"), amount);
    const std::pair<const char*, std::string> lines[] = {
        {"TRANSACTION_DATE", PackedPart(stamp, 1, '.')},
        {"TRANSACTION_TIME", PackedPart(stamp, 4, ':')},
        {"AUTHORIZATION_CODE", OneLine(r.tags.Get("auth_code"))},
        {"MERCHAND_ID", OneLine(r.tags.Get("merchant_id"))},
        {"RESPONSE_CODE", OneLine(r.tags.Get("response_code"))},
        {"RESPONSE_MESSAGE", OneLine(r.tags.Get("text_message"))},
        {"ORVEX_RRN", OneLine(r.tags.Get("rrn"))},
        {"ORVEX_AUTH_AMT", OneLine(amount)}};
    std::string content;
    for (const auto& [key, value] : lines) content.append(key).append(1, '=').append(value) += '\n';
    if (!r.outputs.exchangeFile.Write(path, content)) {
        r.trace.Error("PPAD: variable file [%s] cannot be written", path.c_str());
        r.outputs.Lost(path);
    }
}

}  // namespace handlers
