#include "ri/FileIn.h"

#include <algorithm>

#include "ri/Exception.h"

namespace ri {

FileIn::FileIn(const std::string& path) {
    if (path.empty()) throw Exception("File name is empty");
    in_.open(path, std::ios::binary);
    if (!in_.is_open()) throw Exception("File is not opened: %s", path.c_str());
}

bool FileIn::ReadLine(std::string* line) {
    std::string text;
    if (!std::getline(in_, text)) return false;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    if (line != nullptr) *line = text;
    return true;
}

std::string FileIn::ReadLine() {
    std::string line;
    ReadLine(&line);
    return line;
}

bool FileIn::IsEndFile() {
    return !in_.good() || in_.peek() == std::ifstream::traits_type::eof();
}

}  // namespace ri
