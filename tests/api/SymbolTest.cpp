// The dynamic symbols libvelpad.so exports, pinned whole: the plain C
// functions, the older C++ entry points and the session classes a C++ caller
// uses. Anything added to or lost from this set fails here.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

// Demangled names of every defined dynamic symbol.
std::set<std::string> exportedSymbols() {
    std::set<std::string> symbols;
    const std::string command = std::string("nm -DC --defined-only '") + LIBVELPAD_PATH + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        // "address type name", the name possibly holding blanks.
        const std::size_t type = text.find(' ');
        if (type == std::string::npos || type + 3 > text.size()) continue;
        symbols.insert(text.substr(type + 3));
    }
    pclose(pipe);
    return symbols;
}

// Names the linker adds and those of the instrumentation in a sanitizer build.
bool isToolchain(const std::string& name) {
    static const std::set<std::string> linker{"_init", "_fini", "_edata", "_end", "__bss_start"};
    for (const char* prefix : {"__asan", "__odr_asan", "__ubsan", "__sanitizer", "__lsan"})
        if (name.rfind(prefix, 0) == 0) return true;
    return linker.count(name) != 0;
}

const std::set<std::string> kExpected{
    // The C interface.
    "CreateDARir", "GetDARir", "DeleteDARir", "DARirSet", "DARirGet", "DARirRun", "DARirRunCmd",
    "DARirClear", "Stop",
    // The entry points that take an authorization structure.
    "ProcessOw", "ProcessOwId", "ProcessOwFull", "ProcessOwIdFull",
    // Their older C++ forms.
    "ProcessOw(void*)", "ProcessOwEx(void*, void*)",
    // The session classes.
    "typeinfo for DARir", "typeinfo name for DARir", "typeinfo for DARirImpl",
    "typeinfo name for DARirImpl", "vtable for DARirImpl", "DARirImpl::DARirImpl()",
    "DARirImpl::~DARirImpl()", "DARirImpl::GetLastError()", "DARirImpl::Clear()",
    "DARirImpl::Set(char const*, char const*, int, int)", "DARirImpl::Set(char const*, long, int)",
    "DARirImpl::Set(char const*, double, int, int)", "DARirImpl::SetTags(char const*, int)",
    "DARirImpl::Get(char const*, char*, int, int)", "DARirImpl::Get(char const*, long*, int)",
    "DARirImpl::Get(char const*, double*, int, int)", "DARirImpl::GetTag(char const*, int, char*)",
    "DARirImpl::Run(int)", "DARirImpl::Run(char const*, char const*, int)", "DARirImpl::Stop()",
    "DARirImpl::SetCallbackFunc(void*, int)"};

TEST(ExportedSymbols, ExactlyTheInterfaceIsExported) {
    std::set<std::string> exported;
    for (const auto& name : exportedSymbols())
        if (!isToolchain(name)) exported.insert(name);
    ASSERT_FALSE(exported.empty()) << "nm listed nothing for " << LIBVELPAD_PATH;
    for (const auto& name : kExpected) EXPECT_EQ(exported.count(name), 1u) << "lost: " << name;
    for (const auto& name : exported)
        EXPECT_EQ(kExpected.count(name), 1u) << "unexpected: " << name;
}

}  // namespace
