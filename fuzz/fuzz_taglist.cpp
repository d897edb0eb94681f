// Tag lists as the pinpad sends them in "SETTAGS:" and "SEND_CARD:": the
// parser must take any bytes, and a list made from what it kept must read
// back to the same values (the register sends such lists back in "GETTAGS:";
// the order of the items in a list is not fixed).
#include <cstdlib>

#include "FuzzSandbox.h"
#include "config/Tags.h"

namespace {

const char* const kNames[] = {"pan",           "track2_data",     "rrn",    "receipt_number",
                              "result_amount", "terminal_id",     "expiry", "result_enc_data",
                              "info_dialog",   "cardholder_name", "amount"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterSandbox();
    Tags parsed;
    parsed.Parse(InputBytes(data, size));
    const std::string list = parsed.Make();
    Tags again;
    again.Parse(list);
    if (again.Make().size() != list.size()) std::abort();
    for (const char* name : kNames) {
        if (again.Get(name) != parsed.Get(name)) std::abort();
        for (int type = Tags::TAG_TEXT; type <= Tags::TAG_BCD; ++type)
            parsed.Get(name, static_cast<Tags::TagType>(type));
    }
    parsed.PrintTags();
    return 0;
}
