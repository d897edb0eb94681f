// Engine logs as "vpinpad --from-log" reads them: any bytes are refused as no
// engine log (with a line) or turned into a scenario, and every scenario made
// reads back through the scenario parser, as the virtual pinpad plays it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LogScenario.h"
#include "ScenarioParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string log(reinterpret_cast<const char*>(data), size);
    std::string scenario;
    try {
        scenario = vpinpad::LogScenario::Convert(log, "fuzz.log");
    } catch (const vpinpad::LogError& e) {
        if (e.Line() < 0) std::abort();
        return 0;
    }
    static const vpinpad::ScenarioParser parser(
        {{"BANK_PORT", "4242"}, {"BANK_HOST", "127.0.0.1"}});
    try {
        if (parser.Parse(scenario).empty()) std::abort();
    } catch (const vpinpad::ScenarioError&) {
        std::abort();
    }
    return 0;
}
