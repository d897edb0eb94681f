#include "bank/BankAgent.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "bank/AgentAnswer.h"
#include "bank/AgentLibrary.h"
#include "config/CardData.h"
#include "config/Operations.h"
#include "config/Tags.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/File.h"
#include "ri/Format.h"
#include "ri/LogText.h"
#include "ri/Trace.h"

namespace {

const char* const kAgentLibrary = "libbankagent.so";

// Card type numbers of the agent and their names in "card_type".
const char* const kCardTypes[] = {"Visa",   "Mastercard",   "Maestro",
                                  "Amex",   "DinersCLub",   "VisaElectron",
                                  "PRO100", "Cashier card", "BankCard"};
constexpr int kKnownCardTypes = sizeof(kCardTypes) / sizeof(kCardTypes[0]);
constexpr std::int32_t kLargestReceipt = 0xFFFF;

std::string WithLineFeeds(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

// A text field of the record up to its first zero byte, never beyond it.
std::string FieldText(const char* field, std::size_t width) {
    return std::string(field, strnlen(field, width));
}

}  // namespace

BankAgent::BankAgent(Tags* tags)
    : tags_(tags),
      trace_(ri::Trace::Get()),
      settings_(ri::INI::IniPath("darir.ini")),
      cashreq_(trace_) {
    settings_.ReadIniFile();
    cashreq_.SetFile(GetPathFile("cashreg.ini", ""));
}

std::string BankAgent::GetPathFile(const std::string& file, const std::string& directory) {
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG6)
        trace_->Debug6("GetPathFile: %s", CardData::Message(file).c_str());
    if (file.empty() || file.find_first_of("\\/") != std::string::npos) return file;
    return (directory.empty() ? registry_.GetIniPath() : directory) + file;
}

int BankAgent::Run(int operation) {
    try {
        return Call(operation);
    } catch (const ri::Exception& e) {
        trace_->Error("BankAgent: %s", e.What());
    } catch (...) {
        trace_->Error("BankAgent: unknown error");
    }
    return -1;
}

// The cheque file of an earlier run goes first, so that a failed run never
// leaves an old slip behind.
int BankAgent::Call(int operation) {
    cashreq_.MakePair("CHEQ_FILE", GetPathFile(cashreq_.Find("CHEQ_FILE"), ""));
    ri::File::Delete(cashreq_.Find("CHEQ_FILE"));
    Operations operations(trace_);
    if (operations.SetFile(GetPathFile(cashreq_.Find("OPERATION_INI_FILE"), "")) != 0)
        throw ri::Exception("open OPS file fail, see debug log");
    if (!operations.IsExist(operation)) throw ri::Exception("command not exist: %d", operation);
    const AgentLibrary agent(kAgentLibrary);
    trace_->Info("DLL VER: [%06X]", agent.Version());
    AgentAnswer answer;
    std::memset(&answer, 0, sizeof answer);
    answer.operation = operation;
    answer.amount = ri::Conv::String::ToInt(tags_->Get("amount"));
    const long type = ri::Conv::String::ToInt(operations.GetType(operation));
    const long index = ri::Conv::String::ToInt(operations.GetOwInd(operation));
    int result;
    if (type == 1 && index == 1)
        result = agent.Authorize(&answer);
    else if (type == 2 && index == 1)
        result = agent.CloseDay(&answer);
    else
        throw ri::Exception("unsupported command type: [%d]", static_cast<int>(type));
    trace_->Info("BankAgent: result: [%d]", result);
    trace_->Info("BankAgent: RCode: [%s]",
                 FieldText(answer.response_code, sizeof answer.response_code).c_str());
    trace_->Info("BankAgent: AMessage: [%s]",
                 FieldText(answer.message, sizeof answer.message).c_str());
    const char* cheque = nullptr;
    std::memcpy(&cheque, reinterpret_cast<const char*>(&answer) + offsetof(AgentAnswer, cheque),
                sizeof cheque);
    if (cheque) StoreCheque(cheque);
    StoreResults(answer);
    return result;
}

void BankAgent::StoreCheque(const char* cheque) {
    trace_->Info("BankAgent: card_authorize Check: [%s]",
                 ri::LogText(CardData::MaskDigitRuns(cheque)).c_str());
    const std::string slip = WithLineFeeds(cheque);
    tags_->Add("slip", slip);
    if (!ri::File::WriteFile(cashreq_.Find("CHEQ_FILE"), slip))
        trace_->Error("BankAgent: cannot write the cheque file [%s]",
                      cashreq_.Find("CHEQ_FILE").c_str());
}

// The receipt number is kept as a 16-bit number, the form in which every
// other writer of the session keeps it and in which the session reads it. A
// number too large for that form is left out rather than stored cut to 16
// bits as another receipt's number.
void BankAgent::StoreResults(const AgentAnswer& answer) {
    StoreText("auth_code", answer.auth_code, sizeof answer.auth_code);
    StoreText("rrn", answer.rrn, sizeof answer.rrn);
    StoreText("pan", answer.pan, sizeof answer.pan);
    const std::int32_t receipt = answer.receipt_number;
    if (receipt > kLargestReceipt)
        trace_->Warning("BankAgent: receipt number out of range: %d", static_cast<int>(receipt));
    else if (receipt > 0)
        tags_->Add("receipt_number", ri::Format("%d", static_cast<int>(receipt)), 0,
                   Tags::TAG_INT16);
    StoreText("text_message", answer.message, sizeof answer.message);
    StoreText("response_code", answer.response_code, sizeof answer.response_code);
    const std::int32_t cardType = answer.card_type;
    if (cardType > kKnownCardTypes) {
        trace_->Warning("BankAgent: unknown card type: %d", static_cast<int>(cardType));
        tags_->Add("card_type", "unknown");
    } else if (cardType > 0) {
        tags_->Add("card_type", kCardTypes[cardType - 1]);
    }
}

void BankAgent::StoreText(const char* tag, const char* field, std::size_t width) {
    const std::string text = FieldText(field, width);
    if (!text.empty()) tags_->Add(tag, text);
}
