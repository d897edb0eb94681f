// Key-value maps in their three text formats, and the splitting of request
// payloads into fields. The first byte picks the format; the rest is the
// text. A map written out by Make must parse again without a fault.
#include "FuzzSandbox.h"
#include "ri/Map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterSandbox();
    if (size == 0) return 0;
    static const int kFormats[] = {ri::Map::FORMAT_JSON, ri::Map::FORMAT_URL, ri::Map::FORMAT_PACK,
                                   1};
    const int format = kFormats[data[0] % 4];
    const std::string text = InputBytes(data + 1, size - 1);
    ri::Map map;
    map.Parse(format, text);
    map.GetInt(text);
    map.Print();
    for (int out : kFormats) {
        ri::Map copy;
        copy.Parse(out, map.Make(out));
    }
    const std::string separator = text.substr(0, data[0] % 3);
    ri::Map::Implode(ri::Map::Explode(text, separator), separator);
    return 0;
}
