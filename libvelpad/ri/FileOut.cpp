#include "ri/FileOut.h"

#include "ri/Exception.h"
#include "ri/File.h"

namespace ri {

FileOut::FileOut(const std::string& path, bool append) {
    if (path.empty()) throw Exception("File name is empty");
    if (append) {
        File::CreatePrivate(path);
        out_.open(path, std::ios::binary | std::ios::app);
    } else {
        File::OpenAnew(out_, path);
    }
    if (!out_.is_open()) throw Exception("File is not opened: %s", path.c_str());
}

bool FileOut::WriteLine(const std::string& text, const std::string& lineEnd) {
    out_ << text << lineEnd;
    return static_cast<bool>(out_.flush());
}

}  // namespace ri
