// velrun --check: a check of the installation in the working directory, for
// the person who sets up a cash register. It reads the settings the way the
// library will, runs no operation and talks to no pinpad.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "SettingsFiles.h"

namespace velrun {

class Check {
public:
    explicit Check(std::ostream& out) : out_(out) {}

    // Prints the report; 0 when all is well, 2 with the first problem named.
    int run();

private:
    void settingsFiles();
    void link();
    void timeouts();
    void operationTable();
    void conversionTable();
    void textTable();
    void logDirectories();
    void engineLogFolder();
    void resultFileFolders();

    // Lines of the table named by `key`; false (after a report) when missing.
    bool readTable(const std::string& key, const char* what, bool required,
                   std::vector<SettingsLine>& lines, std::string& name);
    // Reports a line the library skips or reads into a broken entry; false.
    bool badLine(const std::string& file, int line, const std::string& reason);
    // A table's summary: "ok" when every line was read, a note otherwise.
    void summary(bool clean, const std::string& text);

    void good(const std::string& text);
    void note(const std::string& text);
    void problem(const std::string& text);

    std::ostream& out_;
    std::string directory_;
    std::map<std::string, std::string> settings_;
    std::string firstProblem_;
};

}  // namespace velrun
