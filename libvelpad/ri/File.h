#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ri {

// File and directory helpers. Paths are byte strings; "\\" is accepted as a
// separator and turned into "/" wherever a path is split.
class File {
public:
    struct Property {
        std::string name;
        std::int64_t size = 0;
        std::int64_t time = 0;
    };
    // Listing by modification time (seconds), oldest first; one entry per time.
    using PropertyMap = std::map<std::int64_t, Property>;
    using Extensions = std::set<std::string>;

    // What a path names, the path itself and not what a link points to
    // (kMissing also when its status cannot be read).
    enum class Kind { kMissing, kRegular, kLink, kCharDevice, kFifo, kOther };
    static Kind KindOf(const std::string& path);
    // Whether a file of this kind can take the content of a run: a regular
    // file, or a character device (a printer, /dev/null) or a pipe written
    // into as a stream. Links, folders, sockets and block devices cannot.
    static bool TakesContent(Kind kind) {
        return kind == Kind::kMissing || kind == Kind::kRegular || kind == Kind::kCharDevice ||
               kind == Kind::kFifo;
    }

    // True for a path that is no directory and that may be read.
    static bool Exists(const std::string& path);
    // Creates a missing file readable and writable by its owner and readable
    // by its group only (0640, less the umask); an existing regular file
    // loses every right of others. Logs and result files are made through it.
    static void CreatePrivate(const std::string& path);
    // Takes every right of others from the open regular file.
    static void RestrictOthers(int fd);
    static bool Delete(const std::string& path);
    // Leaves path an empty regular file without truncating one that holds
    // data: a missing file is created as CreatePrivate does, an own file with
    // a single name is replaced by a new empty one with its rights (less
    // those of others) and its group. False, with nothing done, for anything
    // else (a link, a pipe or device, another owner's file, a folder that
    // refuses the removal), where the caller truncates as usual.
    static bool EmptyAnew(const std::string& path);
    // Opens path for writing size bytes from its start: a file of that very
    // size is overwritten in place, any other is emptied as by EmptyAnew or,
    // failing that, truncated. A symbolic link is never followed; a character
    // device is opened as a stream, a pipe only when a reader holds it and
    // then without blocking. -1 when the open fails or the path names
    // anything else.
    static int OpenForContent(const std::string& path, std::size_t size);
    // Writes every byte, going on after short writes and interrupted calls;
    // false at the first failure (a full pipe included).
    static bool WriteAll(int fd, const std::string& data);
    // A working copy written in one go (ri/RunFile.h); false when the file
    // cannot be opened or written (a symbolic link is never written through).
    static bool WriteFile(const std::string& path, const std::string& data);
    // Whole content; empty for an empty path or an unreadable file.
    static std::string ReadFile(const std::string& path);

    // Directory part (before the last "/"), empty when there is none.
    static std::string GetFullPath(const std::string& path);
    // Part after the last "/", the whole path when there is none.
    static std::string GetFileName(const std::string& path);
    // Current working directory, empty when it cannot be read.
    static std::string GetDir();
    // A path taken from base instead of the working directory: path itself
    // when base or path is empty or path is absolute, otherwise base, one
    // "/" and path without a leading "./" ("./" gives base and its "/").
    static std::string Under(const std::string& base, const std::string& path);
    // Directory of the library's default files (empty: the file-system root).
    static std::string GetDllPath();

    static bool IsFolderExist(const std::string& path);
    // Creates every missing directory along path; mode's decimal digits are
    // the octal permission bits (770 -> 0770). 0 on success, -1 on failure.
    static int MakeFolders(const std::string& path, unsigned mode = 770);

    // Regular entries of the directory part of pattern, optionally only those
    // whose extension (text after the last ".") is in extensions.
    static std::vector<std::string> GetFilesList(const std::string& pattern,
                                                 const Extensions& extensions = {});
    // The same selection by modification time; throws ri::Exception when the
    // status of a listed file cannot be read.
    static PropertyMap GetFilesPropertyByTime(const std::string& pattern,
                                              const Extensions& extensions = {});
};

// Reads the status of directory + name and inserts it into map by its time;
// throws ri::Exception when the status cannot be read.
void MakeResultProperty(const std::string& directory, const std::string& name,
                        File::PropertyMap* map);

}  // namespace ri
