#include "config/Cashreq.h"

#include "config/SettingRules.h"
#include "ri/Conv.h"

Cashreq::Cashreq(ri::Trace* trace)
    : Settings(trace),
      values_{
          {"PORT", "COM1"},
          {"SPEED", "115200"},
          {"PARITY", "0"},
          {"STOP", "0"},
          {"BYTE", "8"},
          {"TIMEOUT", "1000"},
          {"SERIAL_SEND_PAUSE", "50"},
          {"ADDR_IP", "127.0.0.1"},
          {"PORT_IP", "8000"},
          {"PPAD_IDLE_TO", "120000"},
          {"PPAD_LOCK_TO", "5000"},
          {"RC_CONVERT_FILE", "rc_conv.ini"},
          {"RC_RESOLVE_FILE", "rc_res.ini"},
          {"PPCHARSET", "CP1251"},
          {"OPCHARSET", "CP1251"},
          // "Нет кода ответа" (no result code)
          {"DEFAULT_RC_STRING", "\xCD\xE5\xF2 \xEA\xEE\xE4\xE0 \xEE\xF2\xE2\xE5\xF2\xE0"},
          {"TMS_SCRIPT_FILE", "tms.ini"},
          {"LOG_FOLDER_NAME", "Logs"},
          {"LOG_FOLDER_MODE", "770"},
          // The engine's logs are kept 30 days; the count only caps a folder
          // that a runaway caller fills (1000 runs a day for 30 days).
          {"NDAYS", "30"},
          {"NFILES", "30000"},
          {"AUTH_CODE_FULL", "1"},
          {"TRACE_FILE", "trace.txt"},
          {"LEDGER_FILE", SettingRules::kLedgerFile},
      } {}

void Cashreq::MakePair(const std::string& key, const std::string& value) {
    values_[ri::Conv::Upper(key)] = value;
}

bool Cashreq::IsExist(const std::string& key) const {
    const auto found = values_.find(key);
    return found != values_.end() && found->second != "0";
}

std::string& Cashreq::operator[](const std::string& key) {
    return values_[ri::Conv::Upper(key)];
}

int Cashreq::GetInt(const std::string& key) {
    return static_cast<int>(GetLong(key));
}

long Cashreq::GetLong(const std::string& key) {
    return ri::Conv::String::ToInt((*this)[key]);
}

char Cashreq::GetChar(const std::string& key) {
    return static_cast<char>(GetLong(key));
}

void Cashreq::Delete(const std::string& key) {
    values_.erase(key);
}
