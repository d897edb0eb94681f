#include "engine/CommandTable.h"

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

std::map<std::string, CommandHandler> Build() {
    return {
        {"SETTAGS:", With<&PPAD::RecvOWTags>()},
        {"GETTAGS:", Without<&PPAD::SendOWTags>()},
        {"SEND_CARD:", With<&PPAD::SendCard>()},
        {"SEND_TOTALS:", With<&PPAD::SendTotals>()},
        {"TRACE:", With<&PPAD::TraceMessage>()},
        {"TIMESYNC:", Without<&PPAD::SyncPPADTime>()},
        {"PRINT:", With<&PPAD::PrintMessage>()},
        {"PRINTRQ:", With<&PPAD::PrintRQ>()},
        {"OPDET:", With<&PPAD::PrintOperation>()},
        {"DEVICEOPEN:", With<&PPAD::OpenDevice>()},
        {"DEVICECLOSE:", With<&PPAD::CloseDevice>()},
        {"IOCTL:", With<&PPAD::IoctlDevice>()},
        {"CONNECT:", With<&PPAD::ConnectDevice>()},
        {"WRITE:", With<&PPAD::WriteDevice>()},
        {"READ:", With<&PPAD::ReadDevice>()},
        {"DISCONNECT:", With<&PPAD::DisconnectDevice>()},
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
        {"GETFILE:", With<&PPAD::SendFile>()},
        {"PUTFILE:", With<&PPAD::ReceiveFile>()},
        {"TMSID:", Without<&PPAD::TMSIDRequest>()},
        {"TMSSCRIPT:", Without<&PPAD::TMSSCRIPTRequest>()},
        {"BHEADERGET:", With<&PPAD::RequestBasketHeader>()},
        {"BITEMGET:", With<&PPAD::RequestBasketItem>()},
        {"BITEMSET:", With<&PPAD::UpdateBasketItem>()},
        {"MF:", With<&PPAD::MifareProcess>()},
    };
}

}  // namespace

const std::map<std::string, CommandHandler>& CommandTable() {
    static const std::map<std::string, CommandHandler> table = Build();
    return table;
}
