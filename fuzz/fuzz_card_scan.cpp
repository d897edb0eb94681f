// The card-data scan of velrun --report over any bytes. Besides not
// crashing, it must hold to what its callers rely on: a finding lies inside
// the input, bytes without digits hold no card data, and a line end put
// before the input moves a finding by one byte and changes nothing else.
#include <cstdlib>

#include "CardScan.h"
#include "FuzzSandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = InputBytes(data, size);
    const auto found = velrun::findCardData(bytes);
    if (found && found->offset >= bytes.size()) std::abort();
    std::string masked = bytes;
    for (char& c : masked) {
        if (c >= '0' && c <= '9') c = '*';
    }
    if (velrun::findCardData(masked)) std::abort();
    const auto shifted = velrun::findCardData("\n" + bytes);
    if (found.has_value() != shifted.has_value()) std::abort();
    if (found && (shifted->offset != found->offset + 1 || shifted->kind != found->kind))
        std::abort();
    return 0;
}
