// The operation table and the result-code tables, line by line: a line the
// library would skip or read into a broken entry is named by file and number.
#include <map>

#include "Check.h"
#include "config/RcConv.h"

namespace velrun {

namespace {

const char kNotCode[] = "the code is not a number of at most 9 digits";

std::string codeList(const std::map<long, int>& codes) {
    std::string list;
    for (const auto& entry : codes) list += (list.empty() ? "" : " ") + std::to_string(entry.first);
    return list;
}

}  // namespace

bool Check::readTable(const std::string& key, const char* what, bool required,
                      std::vector<SettingsLine>& lines, std::string& name) {
    name = settings_[key];
    const std::string path = settingsPath(name, directory_);
    if (name.empty()) {
        problem(key + " is not set in cashreg.ini: no " + what + " is read");
        return false;
    }
    if (readSettingsLines(path, lines)) return true;
    const std::string text = std::string(what) + " " + path + " (" + key + ") cannot be read";
    if (required)
        problem(text);
    else
        note(text + ": result codes pass unchanged and get the default text");
    return false;
}

bool Check::badLine(const std::string& file, int line, const std::string& reason) {
    problem(file + " line " + std::to_string(line) + ": " + reason);
    return false;
}

void Check::summary(bool clean, const std::string& text) {
    if (clean)
        good(text);
    else
        note(text);
}

void Check::operationTable() {
    std::vector<SettingsLine> lines;
    std::string name;
    if (!readTable("OPERATION_INI_FILE", "operation table", true, lines, name)) return;
    std::map<long, int> codes;  // code -> line that defines it
    bool clean = true;
    for (const SettingsLine& line : lines) {
        if (!isTableCode(line.key)) {
            clean = badLine(name, line.number, kNotCode);
        } else if (line.value.find(',') == std::string::npos) {
            clean = badLine(name, line.number, "no pinpad type and index (CODE=TYPE,INDEX,NAME)");
        } else {
            const long code = std::stol("0" + line.key);
            if (codes.count(code) != 0)
                note(name + " line " + std::to_string(line.number) + ": code " + line.key +
                     " again, replacing line " + std::to_string(codes[code]));
            codes[code] = line.number;
        }
    }
    if (codes.empty()) return problem(name + " holds no operation");
    summary(clean, "operation table " + settingsPath(name, directory_) + ": operations " +
                       codeList(codes));
    if (settings_["AUTODETECT_OPS"] == "1")
        note("AUTODETECT_OPS=1: the operation table may be switched per terminal at run time");
}

void Check::conversionTable() {
    std::vector<SettingsLine> lines;
    std::string name;
    if (!readTable("RC_CONVERT_FILE", "result-code conversion", false, lines, name)) return;
    int read = 0;
    bool clean = true;
    for (const SettingsLine& line : lines) {
        if (!isTableCode(line.key))
            clean = badLine(name, line.number, kNotCode);
        else if (!isTableCode(line.value))
            clean = badLine(name, line.number,
                            "the converted code is not a number of at most 9 digits");
        else if (RcConv::HidesFailure(std::stol("0" + line.key), std::stol("0" + line.value)))
            clean = badLine(name, line.number,
                            "code " + line.key +
                                " means no result from the pinpad and cannot become success; "
                                "the line is skipped");
        else
            ++read;
    }
    summary(clean, "result-code conversion " + settingsPath(name, directory_) +
                       ": codes converted: " + std::to_string(read));
}

void Check::textTable() {
    std::vector<SettingsLine> lines;
    std::string name;
    if (!readTable("RC_RESOLVE_FILE", "result-code texts", false, lines, name)) return;
    int read = 0;
    bool clean = true;
    for (const SettingsLine& line : lines) {
        if (!isTableCode(line.key))
            clean = badLine(name, line.number, kNotCode);
        else
            ++read;
    }
    summary(clean, "result-code texts " + settingsPath(name, directory_) +
                       ": codes with a text: " + std::to_string(read));
}

}  // namespace velrun
