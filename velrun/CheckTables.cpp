// The operation table and the result-code tables, line by line, by the
// library's rules: a line the library skips is a note, named by file and
// number; an operation whose line leaves the start message without its type
// or pinpad index is a problem, since a run of it sends that message anyway.
#include <map>

#include "Check.h"
#include "config/RcConv.h"
#include "config/SettingRules.h"

namespace velrun {

namespace {

const char kNotCode[] = "the code is not a number of at most 9 digits; the line is skipped";

std::string lineOf(const std::string& file, int line) {
    return file + " line " + std::to_string(line) + ": ";
}

}  // namespace

bool Check::readTable(const std::string& key, const char* what, const char* without,
                      std::vector<SettingsLine>& lines, std::string& name) {
    name = settings_[key];
    const std::string path = settingsPath(name, directory_);
    if (!name.empty() && readSettingsLines(path, lines)) return true;
    const std::string text = name.empty() ? key + " is not set in cashreg.ini"
                                          : std::string(what) + " " + path + " (" + key +
                                                ") cannot be read (a run logs \"file not exist: [" +
                                                path + "]\")";
    if (*without == '\0')
        problem(text + ": a run stops before its start message");
    else
        note(text + ": " + without);
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
    if (!readTable("OPERATION_INI_FILE", "operation table", "", lines, name)) return;
    std::map<long, const SettingsLine*> codes;  // code -> the line a run takes
    bool clean = true;
    for (const SettingsLine& line : lines) {
        if (!SettingRules::IsTableCode(line.key)) {
            note(lineOf(name, line.number) + kNotCode);
            clean = false;
            continue;
        }
        const SettingsLine*& taken = codes[std::stol(line.key)];
        if (taken != nullptr) {
            note(lineOf(name, line.number) + "code " + line.key + " again, replacing line " +
                 std::to_string(taken->number));
            clean = false;
        }
        taken = &line;
    }
    if (codes.empty())
        return problem(name + " holds no operation: every run stops before its start message");
    std::string list;
    for (const auto& [code, line] : codes) {
        list += (list.empty() ? "" : " ") + std::to_string(code);
        const char* missing =
            SettingRules::MissingStartFields(SettingRules::SplitOperation(line->value));
        if (missing == nullptr) continue;
        clean = false;
        problem(lineOf(name, line->number) + "operation " + std::to_string(code) + " has " +
                missing + " (CODE=TYPE,INDEX,NAME): a run of it sends its start message " +
                "without them");
    }
    summary(clean, "operation table " + settingsPath(name, directory_) + ": operations " + list);
    if (settings_["AUTODETECT_OPS"] == "1")
        note("AUTODETECT_OPS=1: the operation table may be switched per terminal at run time");
}

void Check::conversionTable() {
    std::vector<SettingsLine> lines;
    std::string name;
    if (!readTable("RC_CONVERT_FILE", "result-code conversion", "result codes pass unchanged",
                   lines, name))
        return;
    int read = 0;
    for (const SettingsLine& line : lines) {
        const std::string at = lineOf(name, line.number);
        if (!SettingRules::IsTableCode(line.key))
            note(at + kNotCode);
        else if (!SettingRules::IsTableCode(line.value))
            note(at +
                 "the converted code is not a number of at most 9 digits; the line is "
                 "skipped");
        // The run skips such a line, but the installation means a lost line
        // to read as an approval: no register should run with it.
        else if (RcConv::HidesFailure(std::stol(line.key), std::stol(line.value)))
            problem(at + "code " + line.key +
                    " means no result from the pinpad and cannot become success: a run skips the "
                    "line (\"result-code conversion [" +
                    line.key + "=" + line.value + "] skipped\")");
        else
            ++read;
    }
    const bool clean = read == static_cast<int>(lines.size());
    summary(clean, "result-code conversion " + settingsPath(name, directory_) +
                       ": codes converted: " + std::to_string(read));
}

void Check::textTable() {
    std::vector<SettingsLine> lines;
    std::string name;
    if (!readTable("RC_RESOLVE_FILE", "result-code texts", "result codes get the default text",
                   lines, name))
        return;
    int read = 0;
    for (const SettingsLine& line : lines) {
        if (SettingRules::IsTableCode(line.key))
            ++read;
        else
            note(lineOf(name, line.number) + kNotCode);
    }
    const bool clean = read == static_cast<int>(lines.size());
    summary(clean, "result-code texts " + settingsPath(name, directory_) +
                       ": codes with a text: " + std::to_string(read));
}

}  // namespace velrun
