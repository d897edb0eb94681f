#pragma once

#include <string>

namespace ri {
class Trace;
}

// The current system error number (errno), for loader messages.
unsigned int GetLastError();

// Base of every flat KEY=value settings table (cashreg.ini, the operation
// file, the conversion and result-code files). SetFile reads a file line by
// line and hands each pair to MakePair, which the derived table implements.
//
// Line rules: blanks, tabs, CR and LF are trimmed from both ends; empty lines
// and lines starting with "#" or ";" are comments; in a line with "=" the key
// is the text before the first "=", upper-cased, and the value the rest,
// neither trimmed further; a line without "=" is a flag: the whole line is the
// key (as written) and the value is "1". There are no sections.
class Settings {
public:
    // Loader messages go to trace; the default trace when null.
    explicit Settings(ri::Trace* trace = nullptr);
    virtual ~Settings() = default;

    // 0 after the whole file was read, or taken as this process read it
    // before while it is unchanged (SettingsFiles); -1 when it does not exist
    // as a file or cannot be opened (the table then keeps what it held).
    int SetFile(const std::string& path);
    // The file last given to SetFile, as it was given.
    const std::string& File() const { return file_; }
    // Receives one pair of the file; the base table ignores it.
    virtual void MakePair(const std::string& key, const std::string& value);

protected:
    ri::Trace* trace_;

private:
    std::string file_;
};
