// Runs one terminal operation through libvelpad and collects its result.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "Options.h"
#include "api/velpad.h"

namespace velrun {

// Result key -> value, printed in ascending key order.
using ResultMap = std::map<std::string, std::string>;

// A session handle whose last owner deletes the session (also a null one).
using Session = std::shared_ptr<DARir>;

// Creates a session, sets every parameter as a tag, runs `command` and reads
// the result tags. The session is deleted before the result is returned.
ResultMap runCommand(const ParamMap& params, int command);

// Value of the result tag `tag`; empty text (with a line on standard error)
// when the tag cannot be read.
std::string getValue(const Session& session, const std::string& tag);

}  // namespace velrun
