#include "SettingsFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>

#include "config/SettingRules.h"
#include "ri/IniLine.h"

namespace velrun {

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// A readable regular file (a directory does not count).
bool isFile(const std::string& path) {
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
    return std::ifstream(path).is_open();
}

// [Settings] Path of a sectioned file: the first entry of the key, sections of
// the same name merged; empty when absent.
std::string configuredPath(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string raw;
    std::string section;
    while (std::getline(in, raw)) {
        const ri::IniLine line = ri::IniLine::Read(raw, true);
        if (line.kind == ri::IniLine::kSection) section = line.key;
        if (line.kind == ri::IniLine::kEntry && section == "Settings" && line.key == "Path")
            return line.value;
    }
    return std::string();
}

}  // namespace

bool readSettingsLines(const std::string& path, std::vector<SettingsLine>& lines) {
    lines.clear();
    if (!isFile(path)) return false;
    std::ifstream in(path, std::ios::binary);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        const ri::IniLine line = ri::IniLine::Read(raw, false);
        if (line.kind == ri::IniLine::kBare) lines.push_back({number, line.key, "1", true});
        if (line.kind == ri::IniLine::kEntry)
            lines.push_back({number, line.key, line.value, false});
    }
    return true;
}

Location locateSettingsFile(const std::string& name) {
    for (const char* place : {"", "./ini/", "../ini/", "/home/it/"}) {
        const std::string path = place + name;
        if (isFile(path)) return {path, *place ? place : "./", true};
    }
    const std::string configured = configuredPath("/home/itsettings.ini");
    const std::string directory = configured.empty() ? "/home/" : configured + "/";
    return {directory + name, directory, isFile(directory + name)};
}

std::string settingsPath(const std::string& name, const std::string& directory) {
    if (name.empty()) return std::string();
    if (name.find_first_of("\\/") != std::string::npos) return name;
    return directory + name;
}

std::map<std::string, std::string> engineSettings(const std::vector<SettingsLine>& lines) {
    std::map<std::string, std::string> settings{
        {"PORT", "COM1"},
        {"SPEED", "115200"},
        {"TIMEOUT", "1000"},
        {"ADDR_IP", "127.0.0.1"},
        {"PORT_IP", "8000"},
        {"PPAD_IDLE_TO", "120000"},
        {"RC_CONVERT_FILE", "rc_conv.ini"},
        {"RC_RESOLVE_FILE", "rc_res.ini"},
        {"LOG_FOLDER_NAME", "Logs"},
        {"LEDGER_FILE", SettingRules::kLedgerFile},
    };
    for (const SettingsLine& line : lines) settings[upper(line.key)] = line.value;
    return settings;
}

}  // namespace velrun
