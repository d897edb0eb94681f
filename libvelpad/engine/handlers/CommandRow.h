#ifndef VELPAD_ENGINE_HANDLERS_COMMANDROW_H
#define VELPAD_ENGINE_HANDLERS_COMMANDROW_H

#include <string>
#include <vector>

#include "engine/handlers/Request.h"

namespace handlers {

// One row of the command table, kept in the file of its handler family: the
// command word with its colon, the handler that serves the text behind it,
// and how many frames answer it (1; 0 where the protocol wants none; -1
// where the handler answers a stream of its own).
struct CommandRow {
    const char* word;
    Served (*serve)(Request& request, const std::string& argument);
    int replies;
};

using CommandRows = std::vector<CommandRow>;

// The rows of each family that serves through a Request.
const CommandRows& FileTransferCommands();
const CommandRows& BasketCommands();
const CommandRows& DeviceChannelCommands();

}  // namespace handlers

#endif
