#ifndef VELPAD_ENGINE_HANDLERS_OWNFILES_H
#define VELPAD_ENGINE_HANDLERS_OWNFILES_H

#include <string>
#include <vector>

#include "engine/handlers/Request.h"

namespace handlers {

// The installation's own files as paths: settings and code tables, run
// files, status and lock, journal and logs.
std::vector<std::string> OwnFiles(const Request& request);
// Why the pinpad may not read or replace the file name at path (a program,
// a library, a link, no regular file, an executable file, a file of the
// installation or of its log folder), or null when it may.
const char* ExchangeRefusal(const Request& request, const std::string& name,
                            const std::string& path);

}  // namespace handlers

#endif
