#pragma once

#include <fstream>
#include <string>

namespace ri {

// A text file read line by line. The constructor throws ri::Exception with
// "File name is empty" or "File is not opened: <path>".
class FileIn {
public:
    explicit FileIn(const std::string& path);

    // Next line without its "\n"; "\r" characters are dropped. Empty at the end.
    std::string ReadLine();
    // The same, reporting false when no line was left.
    bool ReadLine(std::string* line);
    // True when no further line can be read.
    bool IsEndFile();

private:
    std::ifstream in_;
};

}  // namespace ri
