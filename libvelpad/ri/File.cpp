#include "ri/File.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "ri/Conv.h"
#include "ri/Exception.h"

namespace ri {

namespace {

std::string Slashes(const std::string& path) {
    return Conv::String::Replace(path, "\\", "/");
}

bool IsRegular(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool ExtensionWanted(const std::string& name, const File::Extensions& extensions) {
    if (extensions.empty()) return true;
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && extensions.count(name.substr(dot + 1)) > 0;
}

// The directory that a listing pattern names ("." when it names none).
std::string PatternDirectory(const std::string& pattern) {
    std::string full = Slashes(pattern);
    if (full.empty() || full.back() != '*') full += '*';
    const std::size_t slash = full.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : full.substr(0, slash);
}

std::string Join(const std::string& directory, const std::string& name) {
    return directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace

// A status and a permission check: the file is not opened, so a named pipe
// without a writer holds nothing up.
bool File::Exists(const std::string& path) {
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
    return access(path.c_str(), R_OK) == 0;
}

void File::CreatePrivate(const std::string& path) {
    if (path.empty()) return;
    // Non-blocking, so that a named pipe given as a file name holds nothing up.
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW,
             S_IRUSR | S_IWUSR | S_IRGRP);
    if (fd < 0) return;
    RestrictOthers(fd);
    close(fd);
}

void File::RestrictOthers(int fd) {
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && (status.st_mode & S_IRWXO) != 0)
        fchmod(fd, status.st_mode & ~S_IRWXO & 07777);
}

bool File::Delete(const std::string& path) {
    return !path.empty() && unlink(path.c_str()) == 0;
}

bool File::WriteFile(const std::string& path, const std::string& data) {
    if (path.empty()) return false;
    const int fd = OpenForContent(path, data.size());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, data);
    return close(fd) == 0 && written;
}

std::string File::ReadFile(const std::string& path) {
    if (path.empty()) return std::string();
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return std::string();
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string File::GetFullPath(const std::string& path) {
    const std::string full = Slashes(path);
    const std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

std::string File::GetFileName(const std::string& path) {
    const std::string full = Slashes(path);
    const std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::string File::GetDir() {
    char buffer[2048] = {};
    return getcwd(buffer, sizeof(buffer) - 1) != nullptr ? std::string(buffer) : std::string();
}

std::string File::Under(const std::string& base, const std::string& path) {
    if (base.empty() || path.empty() || path[0] == '/') return path;
    const std::string relative = path.compare(0, 2, "./") == 0 ? path.substr(2) : path;
    return base.back() == '/' ? base + relative : base + "/" + relative;
}

std::string File::GetDllPath() {
    return GetFullPath(std::string());
}

bool File::IsFolderExist(const std::string& path) {
    struct stat status {};
    return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

int File::MakeFolders(const std::string& path, unsigned mode) {
    const std::string full = Slashes(path);
    const auto bits = static_cast<mode_t>(std::strtoul(std::to_string(mode).c_str(), nullptr, 8));
    for (std::size_t end = 1; end <= full.size(); ++end) {
        if (end < full.size() && full[end] != '/') continue;
        const std::string part = full.substr(0, end);
        if (IsFolderExist(part)) continue;
        if (mkdir(part.c_str(), bits) != 0 && errno != EEXIST) return -1;
    }
    return 0;
}

std::vector<std::string> File::GetFilesList(const std::string& pattern,
                                            const Extensions& extensions) {
    std::vector<std::string> names;
    const std::string directory = PatternDirectory(pattern);
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (IsRegular(Join(directory, name)) && ExtensionWanted(name, extensions)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

File::PropertyMap File::GetFilesPropertyByTime(const std::string& pattern,
                                               const Extensions& extensions) {
    PropertyMap map;
    const std::string directory = PatternDirectory(pattern);
    for (const std::string& name : GetFilesList(pattern, extensions)) {
        MakeResultProperty(directory, name, &map);
    }
    return map;
}

void MakeResultProperty(const std::string& directory, const std::string& name,
                        File::PropertyMap* map) {
    const std::string path = directory.empty() ? name : Join(directory, name);
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        throw Exception("Can't read file status: %s", path.c_str());
    File::Property property;
    property.name = name;
    property.size = static_cast<std::int64_t>(status.st_size);
    property.time = static_cast<std::int64_t>(status.st_mtime);
    if (map != nullptr) (*map)[property.time] = property;
}

}  // namespace ri
