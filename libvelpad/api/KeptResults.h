#pragma once

#include <map>
#include <string>

#include "config/Tags.h"

// Keeps the last operation's results while an engine that runs no operation
// (a service command's, a host-driven mode's) is made over a tag store:
// while it lives, the names of the result files read as empty, so the new
// engine neither deletes nor overwrites the slip and result files; when it
// goes, the store's own file names and its "response_code" and
// "text_message" are as they were before. A parameter named as hidden is
// out of the store meanwhile, so that it does not become a setting of the
// new engine.
class KeptResults {
public:
    explicit KeptResults(Tags* tags, const char* hidden = nullptr);
    ~KeptResults();
    KeptResults(const KeptResults&) = delete;
    KeptResults& operator=(const KeptResults&) = delete;

private:
    Tags* tags_;
    // Values held before, by name; a name absent before is not listed.
    std::map<std::string, std::string> before_;
};
