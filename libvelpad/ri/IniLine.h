#pragma once

#include <string>

namespace ri {

// One line of a settings file, as every reader of these files sees it. The
// line is trimmed of " \n\r\t"; an empty line or one starting with "#" or ";"
// is a comment; with sections, "[name]" (text after "]" ignored) names a
// section and "[" without "]" is skipped; a line with "=" is an entry split
// at the first "=" with neither side trimmed further; any other line is a
// bare word. Case is left to the caller.
struct IniLine {
    enum Kind { kComment, kSection, kEntry, kBare };

    Kind kind = kComment;
    // The section name, the key, or the whole bare word.
    std::string key;
    std::string value;

    static IniLine Read(const std::string& raw, bool sections);
};

}  // namespace ri
