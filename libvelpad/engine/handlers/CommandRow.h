#ifndef VELPAD_ENGINE_HANDLERS_COMMANDROW_H
#define VELPAD_ENGINE_HANDLERS_COMMANDROW_H

#include <map>
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

// The rows of each family, in the family's own file.
const CommandRows& TransactionCommands();
const CommandRows& TagExchangeCommands();
const CommandRows& RecoveryCommands();
const CommandRows& PrintingCommands();
const CommandRows& DeviceChannelCommands();
const CommandRows& CardholderDialogCommands();
const CommandRows& I344Commands();
const CommandRows& FileTransferCommands();
const CommandRows& BasketCommands();
const CommandRows& MifareCommands();

// Every family's rows, by command word.
const std::map<std::string, CommandRow>& CommandTable();

// Serves "ENDTR", the bare word that ends the transaction.
Served EndProcess(Request& request, const std::string& argument);

}  // namespace handlers

#endif
