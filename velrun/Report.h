// velrun --report FILE: a support bundle of the installation in the working
// directory, a .tar.gz with everything support asks a shop for: the check's
// report (with its link test), the versions, the settings files with their
// secrets blanked, the newest engine logs and the traces (their last MiB),
// the files of the last run, the ledger's newest records and the serial
// devices. The bundle is made in memory and every byte of it scanned for
// card data first: when any is found, nothing is written.
#pragma once

#include <ctime>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "SettingsFiles.h"

namespace velrun {

// One file of the bundle.
struct BundleEntry {
    std::string name;    // its path in the bundle, below the bundle's folder
    std::string source;  // the file it was read from; empty for what velrun made
    std::string content;
    long long offset = 0;  // where content starts in source (the tail of a long file)
    std::time_t modified = 0;
};

class Report {
public:
    explicit Report(std::string target);

    // Makes the bundle and writes it to the target: 0 when written, 2 when
    // refused for card data or when it could not be written (the reason on
    // err, and no file at the target).
    int run(std::ostream& out, std::ostream& err);

private:
    void settingsFiles();
    void engineLogs();
    void traces();
    void runFiles();
    // The status, result or cheque file at path and its variants for a port
    // or relay ("rc.out-127.0.0.2").
    void runFileVariants(const std::string& path);
    void check();
    void versions();
    void ledger();
    void serialDevices();
    void contents();

    // Adds the file at path under folder, its last `limit` bytes; false (with
    // a line in the contents) when it is absent, unreadable or not a regular
    // file. A file already in the bundle is not added again.
    bool addFile(const std::string& folder, const std::string& path, std::size_t limit,
                 bool blankSecrets);
    void addText(const std::string& name, const std::string& text);
    std::string uniqueName(const std::string& folder, const std::string& base) const;
    // A setting of cashreg.ini, or `fallback` when it is not there.
    std::string setting(const std::string& key, const std::string& fallback = "") const;
    // Scans every entry; true (each finding on err) when one holds card data.
    bool holdsCardData(std::ostream& err) const;

    std::string target_;
    Location cashreg_;
    std::map<std::string, std::string> settings_;
    std::vector<BundleEntry> entries_;
    std::vector<std::string> contents_;  // the lines of contents.txt
    std::set<std::string> bundled_;      // canonical paths already read
};

}  // namespace velrun
