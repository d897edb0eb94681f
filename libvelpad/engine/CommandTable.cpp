// The command table: every handler family's rows, by command word. A family
// keeps its rows in its own file; a new family is added to the list below.
#include "engine/handlers/CommandRow.h"

namespace handlers {

namespace {

using Rows = const CommandRows& (*)();

constexpr Rows kFamilies[] = {
    TransactionCommands,   TagExchangeCommands,      RecoveryCommands, PrintingCommands,
    DeviceChannelCommands, CardholderDialogCommands, I344Commands,     FileTransferCommands,
    BasketCommands,        MifareCommands,
};

std::map<std::string, CommandRow> Build() {
    std::map<std::string, CommandRow> table;
    for (Rows family : kFamilies)
        for (const CommandRow& row : family()) table.emplace(row.word, row);
    return table;
}

}  // namespace

const std::map<std::string, CommandRow>& CommandTable() {
    static const std::map<std::string, CommandRow> table = Build();
    return table;
}

}  // namespace handlers
