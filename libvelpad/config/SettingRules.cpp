#include "config/SettingRules.h"

#include <cstring>

#include "ri/Conv.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

long SettingRules::Number(const std::string& text) {
    return ri::Conv::String::ToInt(text);
}

bool SettingRules::Accepts(const Timeout& timeout, const std::string& text) {
    const long value = Number(text);
    return value > 0 && value <= timeout.most;
}

long SettingRules::InForce(const Timeout& timeout, const std::string& text) {
    return Accepts(timeout, text) ? Number(text) : timeout.fallback;
}

std::string SettingRules::Replaced(const Timeout& timeout, const std::string& text) {
    return std::string(timeout.key) + "=[" + text.c_str() + "] is not in 1.." +
           std::to_string(timeout.most) + " ms, " + std::to_string(timeout.fallback) + " is used";
}

SettingRules::Operation SettingRules::SplitOperation(const std::string& value) {
    Operation operation;
    const std::size_t first = value.find(',');
    if (first == std::string::npos) return operation;
    operation.type = value.substr(0, first);
    const std::size_t second = value.find(',', first + 1);
    if (second == std::string::npos) {
        operation.owIndex = value.substr(first + 1);
        operation.name = kNoName;
        return operation;
    }
    operation.owIndex = value.substr(first + 1, second - first - 1);
    operation.name = value.substr(second + 1);
    return operation;
}

bool SettingRules::IsTableCode(const std::string& key) {
    return !key.empty() && ri::Conv::String::IsInt(key);
}

const char* SettingRules::MissingStartFields(const Operation& operation) {
    if (operation.type.empty() && operation.owIndex.empty()) return "no pinpad type and index";
    if (operation.type.empty()) return "no pinpad type";
    if (operation.owIndex.empty()) return "no pinpad index";
    return nullptr;
}

bool SettingRules::IsSerialName(const std::string& port) {
    if (port.size() == 4 && StartsWith(port, "COM")) return true;
    if (port.size() > 6 && (StartsWith(port, "\\\\.\\COM") || StartsWith(port, "//./COM")))
        return true;
    return StartsWith(port, "/dev/tty");
}
