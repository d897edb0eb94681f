#include "ri/KnownFile.h"

#include "ri/File.h"

namespace ri {

bool KnownFile::Unchanged(const std::string& path, const std::string& data) const {
    struct stat now {};
    return path == path_ && data == data_ && stat(path.c_str(), &now) == 0 &&
           now.st_dev == written_.st_dev && now.st_ino == written_.st_ino &&
           now.st_size == written_.st_size && now.st_mtim.tv_sec == written_.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == written_.st_mtim.tv_nsec;
}

bool KnownFile::Write(const std::string& path, const std::string& data) {
    last_path_ = path;
    last_data_ = data;
    if (Unchanged(path, data)) return true;
    path_.clear();
    if (!File::WriteFile(path, data)) return false;
    if (stat(path.c_str(), &written_) == 0 && S_ISREG(written_.st_mode)) {
        path_ = path;
        data_ = data;
    }
    return true;
}

}  // namespace ri
