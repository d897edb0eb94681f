#pragma once

#include <string>

namespace ri {

// Writes data to path so that readers only ever see the old file or the
// whole new one: the bytes go to a temporary file in the same directory,
// which is flushed to disk and then renamed over path, and the directory is
// synced (ri/RunFile.h). A link at path is replaced, never followed. On any failure the
// temporary file is removed, path is left as it was, and *error (when given)
// names the step and the system's reason.
bool ReplaceFile(const std::string& path, const std::string& data, std::string* error = nullptr);

}  // namespace ri
