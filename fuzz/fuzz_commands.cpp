// Every pinpad request through the dispatcher, I344 screens and dialogs
// included. The input is one line of answer bytes for the caller's dialogs,
// then one request payload per line ("SETTAGS:...", "I344:...", ...), all
// served by one engine in turn so that requests meet the state earlier ones
// left (tags stored, a bank channel opened or closed, a slip begun).
#include "FuzzEngine.h"
#include "FuzzSandbox.h"
#include "ri/Map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PrepareEngineSandbox();
    const std::vector<std::string> lines = ri::Map::Explode(InputBytes(data, size), "\n");
    if (lines.empty()) return 0;
    Tags tags;
    FuzzEngine engine(&tags, lines[0]);
    for (std::size_t i = 1; i < lines.size() && i <= 32; ++i) engine.Serve(lines[i]);
    return 0;
}
