#pragma once

#include <fstream>
#include <string>

namespace ri {

// A text file written line by line, truncated unless append is set. The
// constructor throws ri::Exception with "File name is empty" or
// "File is not opened: <path>".
class FileOut {
public:
    explicit FileOut(const std::string& path, bool append = false);

    // Writes text and a line end; false when the stream failed.
    bool WriteLine(const std::string& text, const std::string& lineEnd = "\n");

private:
    std::ofstream out_;
};

}  // namespace ri
