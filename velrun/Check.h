// velrun --check: a check of the installation in the working directory, for
// the person who sets up a cash register. It reads the settings the way the
// library will and applies the library's own rules (config/SettingRules), so
// that "ready" means a run will send the pinpad its start message: a problem
// is what stops a run before it or makes it send a broken one, a note is
// what a run passes over or replaces, with what it does instead. The only
// exchange with the pinpad is the library's link test (TEST_PING).
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
    // The pinpad port as a run opens it; false when a run cannot open it.
    bool link();
    void linkTest();
    void timeouts();
    void operationTable();
    void conversionTable();
    void textTable();
    void logDirectories();
    void engineLogFolder();
    void runFiles();
    void ledger();

    // Lines of the table named by `key`; false (after a report) when missing.
    // `without` says what a run does without an optional table; a required
    // one (empty `without`) that is missing is a problem.
    bool readTable(const std::string& key, const char* what, const char* without,
                   std::vector<SettingsLine>& lines, std::string& name);
    // A table's summary: "ok" when every line was read, a note otherwise.
    void summary(bool clean, const std::string& text);
    // Whether a setting is present as the library sees it: set, and not "0".
    bool has(const std::string& key) const;

    void good(const std::string& text);
    void note(const std::string& text);
    void problem(const std::string& text);

    std::ostream& out_;
    std::string directory_;
    std::map<std::string, std::string> settings_;
    std::string firstProblem_;
};

}  // namespace velrun
