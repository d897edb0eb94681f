#ifndef VELPAD_ENGINE_COMMANDTABLE_H
#define VELPAD_ENGINE_COMMANDTABLE_H

#include <functional>
#include <map>
#include <string>

#include "engine/PPAD.h"

// The pinpad's command words ("SETTAGS:", "PRINT:", ...) mapped to the engine
// operation that serves each one with the text behind the word. A command not
// in the table is answered "ER".
using CommandHandler = std::function<PPAD::Served(PPAD&, const std::string&)>;
const std::map<std::string, CommandHandler>& CommandTable();

#endif
