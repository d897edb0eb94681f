#include "engine/CommandTable.h"

#include "engine/handlers/CommandRow.h"

namespace {

// A handler that takes the text behind the command word.
template <PPAD::Served (PPAD::*Method)(const std::string&)>
CommandHandler With() {
    return [](PPAD& engine, const std::string& argument) { return (engine.*Method)(argument); };
}

// A handler that ignores the text behind the command word.
template <PPAD::Served (PPAD::*Method)()>
CommandHandler Without() {
    return [](PPAD& engine, const std::string&) { return (engine.*Method)(); };
}

// The rows that families of handlers over a Request keep in their own files.
void AddFamily(const handlers::CommandRows& rows, std::map<std::string, CommandHandler>* table) {
    for (const handlers::CommandRow& row : rows) {
        const auto serve = row.serve;
        table->emplace(row.word, [serve](PPAD& engine, const std::string& argument) {
            return engine.ServeWith(serve, argument);
        });
    }
}

std::map<std::string, CommandHandler> Build() {
    std::map<std::string, CommandHandler> table = {
        {"SETTAGS:", With<&PPAD::RecvOWTags>()},
        {"GETTAGS:", Without<&PPAD::SendOWTags>()},
        {"SEND_CARD:", With<&PPAD::SendCard>()},
        {"SEND_TOTALS:", With<&PPAD::SendTotals>()},
        {"TRACE:", With<&PPAD::TraceMessage>()},
        {"TIMESYNC:", Without<&PPAD::SyncPPADTime>()},
        {"PRINT:", With<&PPAD::PrintMessage>()},
        {"PRINTRQ:", With<&PPAD::PrintRQ>()},
        {"OPDET:", With<&PPAD::PrintOperation>()},
        {"STATUS:", With<&PPAD::StatusMessage>()},
        {"WARNING:", With<&PPAD::Warning>()},
        {"INFO:", With<&PPAD::Info>()},
        {"YESNO:", With<&PPAD::YesNoRequest>()},
        {"MENU:", With<&PPAD::MenuRequest>()},
        {"DATAENTRY:", With<&PPAD::DataRequest>()},
        {"AMOUNTENTRY:", With<&PPAD::AmountRequest>()},
        {"DIALOGRQ:", With<&PPAD::DialogRequest>()},
        {"DIALOGRES:", With<&PPAD::DialogResponse>()},
        {"PHONENUMBER:", With<&PPAD::PhoneNumber>()},
        {"I344:", With<&PPAD::I344Process>()},
        {"SPRESULT:", With<&PPAD::SpecialResult>()},
        {"PING:", With<&PPAD::PingRequest>()},
        {"BEGINTR:", With<&PPAD::BeginTransaction>()},
        {"STORERC:", With<&PPAD::StoreResult>()},
        {"CARDREQ:", With<&PPAD::CardRequest>()},
        {"MF:", With<&PPAD::MifareProcess>()},
    };
    AddFamily(handlers::FileTransferCommands(), &table);
    AddFamily(handlers::BasketCommands(), &table);
    AddFamily(handlers::DeviceChannelCommands(), &table);
    return table;
}

}  // namespace

const std::map<std::string, CommandHandler>& CommandTable() {
    static const std::map<std::string, CommandHandler> table = Build();
    return table;
}
