// The dynamic symbols libvelpad.so exports: every plain function of the C
// interface, unmangled, and no other plain name.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

// Plain name -> nm type letter of every defined dynamic symbol.
std::map<std::string, char> exportedSymbols() {
    std::map<std::string, char> symbols;
    const std::string command = std::string("nm -D --defined-only '") + LIBVELPAD_PATH + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) symbols[name] = type[0];
    }
    pclose(pipe);
    return symbols;
}

bool isCxxOrToolchain(const std::string& name) {
    // Mangled C++ names (the classes are exported too), names the linker
    // adds, and the instrumentation's own names in a sanitizer build.
    static const std::set<std::string> linker{"_init", "_fini", "_edata", "_end", "__bss_start"};
    return name.rfind("_Z", 0) == 0 || linker.count(name) != 0 || name.rfind("__asan", 0) == 0 ||
           name.rfind("__odr_asan", 0) == 0 || name.rfind("__ubsan", 0) == 0 ||
           name.rfind("__sanitizer", 0) == 0;
}

const std::set<std::string> kInterface{"CreateDARir", "GetDARir",   "DeleteDARir",
                                       "DARirSet",    "DARirGet",   "DARirRun",
                                       "DARirRunCmd", "DARirClear", "Stop"};
// Entry points that take the fixed-layout authorization structure.
const std::set<std::string> kLegacy{"ProcessOw", "ProcessOwId", "ProcessOwFull", "ProcessOwIdFull"};

TEST(ExportedSymbols, InterfaceFunctionsAreExportedUnmangled) {
    const auto symbols = exportedSymbols();
    ASSERT_FALSE(symbols.empty()) << "nm listed nothing for " << LIBVELPAD_PATH;
    for (const auto& name : kInterface) {
        const auto found = symbols.find(name);
        ASSERT_NE(found, symbols.end()) << name << " is not exported";
        EXPECT_EQ(found->second, 'T') << name << " is not a function in the text section";
    }
}

TEST(ExportedSymbols, NoUnexpectedPlainNames) {
    for (const auto& [name, type] : exportedSymbols()) {
        if (isCxxOrToolchain(name)) continue;
        EXPECT_TRUE(kInterface.count(name) != 0 || kLegacy.count(name) != 0)
            << "unexpected export " << name << " (" << type << ")";
    }
}

}  // namespace
