#include "Runner.h"

#include <iostream>
#include <vector>

#include "CardNumber.h"

namespace velrun {

namespace {

const char kCannotRun[] = "Невозможно выполнить команду";
const char kCannotSet[] = "Невозможно выполнить команду: ошибка установки параметра";
// The library takes values shorter than this many bytes.
constexpr std::size_t kMaxValue = 500;

ResultMap notRun(const char* message) {
    return {{"success", "0"}, {"message", message}};
}

// Sets every parameter in key order; false (with a line on standard error)
// at the first tag the library refuses.
bool setParams(const Session& session, const ParamMap& params) {
    for (const auto& [key, value] : params) {
        if (DARirSet(session.get(), key.c_str(), value.c_str(), -1) != 0) {
            std::cerr << "Ошибка установки параметра " << key << " для выполнения команды"
                      << std::endl;
            if (value.size() >= kMaxValue)
                std::cerr << "Значение параметра " << key << " длиннее " << kMaxValue - 1 << " байт"
                          << std::endl;
            return false;
        }
    }
    return true;
}

ResultMap readResult(const Session& session, int rc) {
    const std::string transactionId = getValue(session, "transaction_id");
    ResultMap result;
    result["message"] = getValue(session, "text_message");
    // The library hands the card number over as the terminal sent it.
    result["cardNumber"] = maskCardNumber(getValue(session, "pan"));
    result["cardType"] = getValue(session, "card_type");
    result["authorizationCode"] = getValue(session, "receipt_number");
    // The transaction identifier, when the terminal gave one, stands for the RRN.
    result["rrn"] = transactionId.empty() ? getValue(session, "rrn") : transactionId;
    result["terminalId"] = getValue(session, "terminal_id");
    result["success"] = rc == 0 ? "1" : "0";
    result["code"] = std::to_string(rc);
    return result;
}

ResultMap runSession(const Session& session, const ParamMap& params, int command) {
    if (!session) {
        std::cerr << "Ошибка создания объекта DARir для выполнения команды" << std::endl;
        return notRun(kCannotRun);
    }
    if (!setParams(session, params)) return notRun(kCannotSet);
    const int rc = DARirRun(session.get(), command);
    std::cerr << "Команда " << command << ". Результат выполнения: " << rc << std::endl;
    return readResult(session, rc);
}

}  // namespace

ResultMap runCommand(const ParamMap& params, int command) {
    // The library accepts a null handle, so the deleter runs for one as well.
    const Session session(CreateDARir(), DeleteDARir);
    return runSession(session, params, command);
}

std::string getValue(const Session& session, const std::string& tag) {
    const int size = DARirGet(session.get(), tag.c_str(), nullptr, -1);
    if (size > 0) {
        std::vector<char> buffer(size);
        if (DARirGet(session.get(), tag.c_str(), buffer.data(), size) >= 0) {
            buffer[size - 1] = '\0';
            return buffer.data();
        }
    }
    std::cerr << "Параметр " << tag << " не получен" << std::endl;
    return {};
}

}  // namespace velrun
