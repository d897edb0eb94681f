#include "ri/FileOut.h"

#include "ri/Exception.h"
#include "ri/File.h"

namespace ri {

FileOut::FileOut(const std::string& path, bool append) {
    if (path.empty()) throw Exception("File name is empty");
    File::CreatePrivate(path);
    out_.open(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    if (!out_.is_open()) throw Exception("File is not opened: %s", path.c_str());
}

bool FileOut::WriteLine(const std::string& text, const std::string& lineEnd) {
    out_ << text << lineEnd;
    return static_cast<bool>(out_.flush());
}

}  // namespace ri
