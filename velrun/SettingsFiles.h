// The library's settings files as velrun --check reads them: the same lookup
// of the settings directory and the same line rules as libvelpad, but every
// line keeps its number, so that a line the library skips can be named.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace velrun {

// One line of a flat settings file that is neither empty nor a comment.
struct SettingsLine {
    int number = 0;     // counted from 1
    std::string key;    // text before the first "=", as written
    std::string value;  // text after it; "1" for a bare word
    bool bare = false;  // a line without "=" (a flag switched on)
};

// Lines of a flat settings file, trimmed of " \n\r\t", without empty lines and
// lines starting with "#" or ";". False when the file cannot be read.
bool readSettingsLines(const std::string& path, std::vector<SettingsLine>& lines);

// Where the library looks for a settings file.
struct Location {
    std::string path;       // the file's path as the library opens it
    std::string directory;  // the settings directory, ending in "/"
    bool found = false;     // false: no place holds the file; path is the last resort
};

// Tries name, ./ini/, ../ini/ and /home/it/; else the directory named by
// [Settings] Path of /home/itsettings.ini, or /home/.
Location locateSettingsFile(const std::string& name);

// A file named by a setting: as given when it holds a directory, else in the
// settings directory. Empty for an empty name.
std::string settingsPath(const std::string& name, const std::string& directory);

// The engine's settings: its defaults of the keys the check reads, then the
// lines of cashreg.ini (keys upper-cased, the last line of a key wins).
std::map<std::string, std::string> engineSettings(const std::vector<SettingsLine>& lines);

}  // namespace velrun
