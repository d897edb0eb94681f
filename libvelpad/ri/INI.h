#pragma once

#include <map>
#include <string>
#include <vector>

namespace ri {

// Read-only sectioned INI file. Lines are trimmed of " \n\r\t"; empty lines
// and lines starting with ";" or "#" are comments; "[name]" opens a section
// (text after "]" ignored, equal names merged); "key=value" is split at the
// first "=" with neither side trimmed. Lines without "=", entries before the
// first section and entries of a section with an empty name are ignored.
// Lookups take the first entry of a key. Nothing is ever written back.
class INI {
public:
    struct Data {
        std::string key;
        std::string value;
    };

    explicit INI(const std::string& path);
    // The file name is IniPath(name).
    explicit INI(const char* name);

    void SetFileName(const std::string& path);
    std::string GetFileName() const { return fileName_; }
    // Appends the file's entries to the sections; a missing file changes nothing.
    void ReadIniFile();

    std::string GetStr(const std::string& section, const std::string& key,
                       const std::string& def = "");
    long GetInt(const std::string& section, const std::string& key, long def = 0);
    std::string GetMainStr(const std::string& key, const std::string& def = "");
    long GetMainInt(const std::string& key, long def = 0);

    // In-memory additions, appended to the section (not seen when the key exists).
    void SetStr(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, long value);
    void SetMainStr(const std::string& key, const std::string& value);
    void SetMainInt(const std::string& key, long value);

    void GetSections(std::vector<std::string>* out) const;
    // Copies the section's entries; a missing section is added empty.
    void GetSection(const std::string& name, std::vector<Data>* out);

    // Locates a settings file: name, ./ini/, ../ini/, /home/it/, else the
    // directory named by [Settings] Path of /home/itsettings.ini (or /home/).
    // Stores the chosen directory (ending in "/") in directory when not null.
    // A base directory takes the working directory's place: base/name,
    // base/ini/, base/../ini/, then the same fixed places (File::Under).
    static std::string IniPath(const std::string& name, std::string* directory = nullptr,
                               const std::string& base = "");

    static constexpr const char* kMainSection = "Settings";

private:
    void ReadLine(const std::string& line, std::string* section);
    const Data* Find(const std::string& section, const std::string& key);

    std::string fileName_;
    std::map<std::string, std::vector<Data>> sections_;
};

}  // namespace ri
