// A file written whole or not at all: velrun --report's bundle goes to a new
// file beside its name, is synced, renamed over the name, and the folder is
// synced, so that a reader never finds half a bundle.
#pragma once

#include <string>

namespace velrun {

// Writes bytes to path that way, readable by the owner only; false (with the
// reason in *error, and no temporary file left) when any step fails.
bool writeDurably(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace velrun
