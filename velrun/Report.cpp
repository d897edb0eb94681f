#include "Report.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sstream>

#include "CardScan.h"
#include "DurableWrite.h"
#include "Gzip.h"
#include "TarArchive.h"

namespace velrun {

namespace {

// The one folder every file of the bundle is in.
const char kBundleFolder[] = "velrun-report/";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string workingDirectory() {
    char buffer[PATH_MAX] = {};
    return getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : ".";
}

// Where a finding is: the file it was read from, or the bundle's own name of
// what velrun made.
std::string placeOf(const BundleEntry& entry) {
    return entry.source.empty() ? kBundleFolder + entry.name : entry.source;
}

}  // namespace

Report::Report(std::string target)
    : target_(std::move(target)), cashreg_(locateSettingsFile("cashreg.ini")) {
    std::vector<SettingsLine> lines;
    if (cashreg_.found) readSettingsLines(cashreg_.path, lines);
    settings_ = engineSettings(lines);
}

int Report::run(std::ostream& out, std::ostream& err) {
    // A folder that cannot take the bundle fails before the link test.
    const std::string folder = folderOf(target_);
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        err << "velrun: --report: " << target_ << " could not be written: " << folder << ": "
            << std::strerror(errno) << std::endl;
        return 2;
    }
    // The check comes first, so that the traces bundled after it show its
    // link test.
    check();
    versions();
    settingsFiles();
    engineLogs();
    traces();
    runFiles();
    ledger();
    serialDevices();
    contents();
    if (holdsCardData(err)) {
        err << "velrun: --report refused: the bundle would carry card data in clear; nothing "
               "was written to "
            << target_ << std::endl;
        return 2;
    }
    TarArchive archive;
    for (const BundleEntry& entry : entries_)
        archive.Add(kBundleFolder + entry.name, entry.content, entry.modified);
    std::string bundle;
    std::string why = "compression failed";
    if (!gzipCompress(archive.Finish(), &bundle) || !writeDurably(target_, bundle, &why)) {
        err << "velrun: --report: " << target_ << " could not be written: " << why << std::endl;
        return 2;
    }
    out << "velrun: report written to " << target_ << " (" << entries_.size() << " files, "
        << bundle.size() << " bytes)" << std::endl;
    return 0;
}

bool Report::holdsCardData(std::ostream& err) const {
    bool found = false;
    for (const BundleEntry& entry : entries_) {
        if (const auto inName = findCardData(entry.name)) {
            err << "velrun: a file name in " << folderOf(placeOf(entry)) << " holds "
                << describe(inName->kind) << " in clear (byte " << inName->offset << " of the name)"
                << std::endl;
            found = true;
        }
        if (const auto inContent = findCardData(entry.content)) {
            err << "velrun: " << placeOf(entry) << " holds " << describe(inContent->kind)
                << " in clear at byte offset " << entry.offset + inContent->offset << std::endl;
            found = true;
        }
    }
    return found;
}

void Report::addText(const std::string& name, const std::string& text) {
    BundleEntry entry;
    entry.name = uniqueName("", name);
    entry.content = text;
    entry.modified = std::time(nullptr);
    contents_.push_back(entry.name + ": made by velrun");
    entries_.push_back(std::move(entry));
}

std::string Report::uniqueName(const std::string& folder, const std::string& base) const {
    const std::string wanted = folder.empty() ? base : folder + "/" + base;
    std::string name = wanted;
    for (int copy = 2;; ++copy) {
        bool taken = false;
        for (const BundleEntry& entry : entries_) taken = taken || entry.name == name;
        if (!taken) return name;
        name = wanted + "~" + std::to_string(copy);
    }
}

std::string Report::setting(const std::string& key, const std::string& fallback) const {
    const auto found = settings_.find(key);
    return found == settings_.end() ? fallback : found->second;
}

void Report::contents() {
    std::ostringstream text;
    text << "Support bundle of the installation in " << workingDirectory()
         << " (settings directory " << cashreg_.directory << ")\n\n";
    for (const std::string& line : contents_) text << line << '\n';
    addText("contents.txt", text.str());
}

}  // namespace velrun
