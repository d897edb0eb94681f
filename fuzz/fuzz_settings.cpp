// Settings and table files as an installer may leave them: the first byte
// picks the table, the rest is the file. Every table loads whatever the file
// holds and answers its lookups.
#include "FuzzSandbox.h"
#include "config/Cashreq.h"
#include "config/Operations.h"
#include "config/OpsTIDConv.h"
#include "config/RcConv.h"
#include "config/RcResult.h"
#include "ri/INI.h"

namespace {

void LoadCashreq(const std::string& path) {
    Cashreq table;
    table.SetFile(path);
    table.GetInt("TIMEOUT");
    table.GetChar("PARITY");
    table.IsExist("NODIALOGS");
    table.Find("PORT");
}

void LoadOperations(const std::string& path) {
    Operations table;
    table.SetFile(path);
    for (int code = -1; code < 40; ++code) {
        table.GetType(code);
        table.GetOwInd(code);
        table.GetName(code);
    }
    table.GetNameByInd("1");
}

void LoadCodes(const std::string& path) {
    RcConv conversion;
    conversion.SetFile(path);
    RcResult texts;
    texts.SetFile(path);
    for (int code = -1; code < 1000; code += 7) {
        static_cast<void>(conversion[code]);
        texts.Get(code, "");
    }
}

void LoadTerminalConversion(const std::string& path) {
    OpsTIDConv table;
    table.SetFile(path);
    table.IsExist("T1");
    static_cast<void>(table["T1"]);
}

void LoadIni(const std::string& path) {
    ri::INI ini(path);
    ini.ReadIniFile();
    ini.GetMainStr("Path");
    ini.GetInt("Settings", "LogType");
    std::vector<std::string> sections;
    ini.GetSections(&sections);
    for (const std::string& section : sections) {
        std::vector<ri::INI::Data> entries;
        ini.GetSection(section, &entries);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string path = SandboxFile("settings.ini", InputBytes(data + 1, size - 1));
    switch (data[0] % 5) {
        case 0:
            LoadCashreq(path);
            break;
        case 1:
            LoadOperations(path);
            break;
        case 2:
            LoadCodes(path);
            break;
        case 3:
            LoadTerminalConversion(path);
            break;
        default:
            LoadIni(path);
            break;
    }
    return 0;
}
