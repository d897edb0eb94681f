#ifndef VELPAD_TESTS_E2E_POWERCUT_H
#define VELPAD_TESTS_E2E_POWERCUT_H

#include <map>
#include <string>
#include <vector>

// What the disk holds after a power cut, built from the system calls a run
// made (strace -f -y -s 4096 of openat, write, fsync, fdatasync, rename,
// unlink, sendto, recvfrom): a file's data reach the disk only with a sync
// of the file, a new, renamed or removed name only with a sync of its
// folder; writes after a file's last sync are lost, or torn: the first half
// of the file as the run left it over what was synced. Only the files of a
// transaction are followed (the status, result and cheque files and their
// temporary files), by name in the run's folder.
class PowerCut {
public:
    // One call of the record that a cut may follow.
    struct Event {
        std::string call;
        std::string text;  // the whole line as strace wrote it
    };

    PowerCut(const std::string& folder, const std::string& record);
    const std::vector<Event>& Events() const { return events_; }
    // The files on the disk after a cut that follows the first count events:
    // name to content; a name that is not listed is absent.
    std::map<std::string, std::string> DiskAfter(size_t count, bool torn = false) const;

private:
    std::string folder_;
    std::vector<Event> events_;
};

// The bytes of a string argument as strace prints it (octal and C escapes).
std::string StraceBytes(const std::string& quoted);

#endif
