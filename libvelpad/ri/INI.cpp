#include "ri/INI.h"

#include "ri/Conv.h"
#include "ri/File.h"
#include "ri/FileIn.h"
#include "ri/Format.h"
#include "ri/IniLine.h"

namespace ri {

INI::INI(const std::string& path) : fileName_(path) {}

INI::INI(const char* name) : fileName_(IniPath(name != nullptr ? name : "")) {}

void INI::SetFileName(const std::string& path) {
    fileName_ = path;
}

// A missing file fails to open and a directory yields no lines: neither needs
// a look of its own first.
void INI::ReadIniFile() {
    try {
        FileIn in(fileName_);
        std::string section;
        std::string line;
        while (in.ReadLine(&line)) ReadLine(line, &section);
    } catch (const std::exception&) {
        // A file that vanished or failed mid-way keeps what was read so far.
    }
}

// Applies one line: a comment, a section header or an entry of *section.
void INI::ReadLine(const std::string& raw, std::string* section) {
    const IniLine line = IniLine::Read(raw, true);
    if (line.kind == IniLine::kSection) {
        *section = line.key;
        if (!section->empty()) sections_[*section];
    }
    if (line.kind == IniLine::kEntry && !section->empty())
        sections_[*section].push_back(Data{line.key, line.value});
}

const INI::Data* INI::Find(const std::string& section, const std::string& key) {
    if (section.empty() || key.empty()) return nullptr;
    if (sections_.empty()) ReadIniFile();
    const auto found = sections_.find(section);
    if (found == sections_.end()) return nullptr;
    for (const Data& data : found->second) {
        if (data.key == key) return &data;
    }
    return nullptr;
}

std::string INI::GetStr(const std::string& section, const std::string& key,
                        const std::string& def) {
    const Data* data = Find(section, key);
    return data != nullptr ? data->value : def;
}

long INI::GetInt(const std::string& section, const std::string& key, long def) {
    const Data* data = Find(section, key);
    return data != nullptr ? Conv::String::ToInt(data->value) : def;
}

std::string INI::GetMainStr(const std::string& key, const std::string& def) {
    return GetStr(kMainSection, key, def);
}

long INI::GetMainInt(const std::string& key, long def) {
    return GetInt(kMainSection, key, def);
}

void INI::SetStr(const std::string& section, const std::string& key, const std::string& value) {
    if (sections_.empty()) ReadIniFile();
    if (section.empty() || key.empty()) return;
    sections_[section].push_back(Data{key, value});
}

void INI::SetInt(const std::string& section, const std::string& key, long value) {
    SetStr(section, key, Format("%ld", value));
}

void INI::SetMainStr(const std::string& key, const std::string& value) {
    SetStr(kMainSection, key, value);
}

void INI::SetMainInt(const std::string& key, long value) {
    SetInt(kMainSection, key, value);
}

void INI::GetSections(std::vector<std::string>* out) const {
    if (out == nullptr) return;
    out->clear();
    for (const auto& section : sections_) out->push_back(section.first);
}

void INI::GetSection(const std::string& name, std::vector<Data>* out) {
    if (out == nullptr || name.empty()) return;
    *out = sections_[name];
}

std::string INI::IniPath(const std::string& name, std::string* directory, const std::string& base) {
    static const char* const kPlaces[] = {"./ini/", "../ini/", "/home/it/"};
    std::string chosen;
    std::string result;
    if (File::Exists(File::Under(base, name))) {
        chosen = File::Under(base, "./");
        result = File::Under(base, name);
    }
    for (const char* place : kPlaces) {
        if (!result.empty()) break;
        const std::string folder = File::Under(base, place);
        if (File::Exists(folder + name)) {
            chosen = folder;
            result = folder + name;
        }
    }
    if (result.empty()) {
        INI settings(std::string("/home/itsettings.ini"));
        const std::string configured = settings.GetMainStr("Path", "");
        chosen = configured.empty() ? "/home/" : File::Under(base, configured + "/");
        result = chosen + name;
    }
    if (directory != nullptr) *directory = chosen;
    return result;
}

}  // namespace ri
