#include "api/DARirImpl.h"

#include <cstring>

#include "bank/BankAgent.h"
#include "config/CardData.h"
#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "modes/HostMode.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Format.h"
#include "ri/Test.h"
#include "ri/Trace.h"

namespace {

constexpr int kMaxSetType = 6;
constexpr int kMaxGetType = 7;
constexpr int kLongBuffer = 1024;

// The key check shared by Set and Get: non-null, non-empty, under 500 bytes.
bool ValidKey(const char* key) {
    return ri::Test::TestString(key) > 0;
}

// A caller's text for the log, never read past its size (or, without a size,
// past the longest key or value the session takes), so an unterminated buffer
// is not overrun.
std::string Shown(const char* text, int size = -1) {
    if (!text) return std::string();
    if (size >= 0) return std::string(text, static_cast<size_t>(size));
    return std::string(text, strnlen(text, ri::Test::kMaxCallerString));
}

}  // namespace

DARirImpl::DARirImpl() : settings_(ri::INI::IniPath("darir.ini")) {
    settings_.ReadIniFile();
    const long console = settings_.GetMainInt("Console", -1);
    const long logType = settings_.GetMainInt("LogType", -1);
    log_ = ri::Trace::Get("darir.log", static_cast<int>(logType), static_cast<int>(console));
    log_->Debug("DARir: create");
    log_->SetEncoding(settings_.GetMainStr("Encoding", ""));
    std::string problem;
    log_->SetRotation(ri::TraceRotation::FromSettings(settings_.GetMainStr("LogRotateMiB", ""),
                                                      settings_.GetMainStr("LogRotateKeep", ""),
                                                      &problem));
    if (!problem.empty()) log_->Warning("darir.ini: %s", problem.c_str());
}

DARirImpl::~DARirImpl() {
    log_->Debug("DARir: delete");
}

const char* DARirImpl::GetLastError() {
    log_->Debug6("GetLastError: %s", last_error_.c_str());
    return last_error_.c_str();
}

int DARirImpl::Clear() {
    log_->Info("Clear Keys");
    tags_.Clear();
    return 0;
}

int DARirImpl::Set(const char* key, const char* value, int size, int type) {
    log_->Debug6("DARirSet: key:  [%s]", Shown(key).c_str());
    log_->Debug6("DARirSet: val:  [%s]", CardData::Value(Shown(key), Shown(value, size)).c_str());
    log_->Debug6("DARirSet: size: [%d]", size);
    log_->Debug6("DARirSet: type: [%d]", type);
    if (!ValidKey(key)) return Refuse("Try to set invalid KEY");
    if (type > kMaxSetType) return Refuse(ri::Format("Try to set type: %d", type));
    if (size < 0 && value) {
        size = static_cast<int>(strnlen(value, ri::Test::kMaxCallerString));
        if (size >= static_cast<int>(ri::Test::kMaxCallerString))
            return Refuse(ri::Format("Value of KEY [%s] is %zu bytes or longer", key,
                                     ri::Test::kMaxCallerString));
    }
    const std::string stored = value && size > 0 ? std::string(value, size) : std::string();
    if (type == -1) type = 0;
    log_->Info("Set Key [%s]: [%s] [%d]", key, CardData::Value(key, stored).c_str(), type);
    tags_.Add(key, stored, static_cast<int>(stored.size()), static_cast<Tags::TagType>(type));
    return 0;
}

// A refused Set: the reason for GetLastError and the trace.
int DARirImpl::Refuse(const std::string& reason) {
    last_error_ = reason;
    log_->Error("DARirSet: %s", CardData::Message(reason).c_str());
    return -1;
}

int DARirImpl::Set(const char* key, long value, int type) {
    if (!ValidKey(key)) return -1;
    const std::string text = ri::Format("%ld", value);
    return Set(key, text.c_str(), static_cast<int>(text.size()), type);
}

int DARirImpl::Set(const char*, double, int, int) {
    log_->Info("DARirSet: fail");
    return -1;
}

int DARirImpl::SetTags(const char*, int) {
    log_->Info("DARirSet: fail");
    return -1;
}

int DARirImpl::Get(const char* key, char* buffer, int size, int type) {
    if (!key) return -1;
    log_->Debug6("DARirGet: key:  [%s]", Shown(key).c_str());
    log_->Debug6("DARirGet: size: [%d]", size);
    log_->Debug6("DARirGet: type: [%d]", type);
    try {
        const std::string value = Value(key, type);
        if (!buffer) return static_cast<int>(value.size()) + 1;
        ri::Test::Assert(size <= static_cast<int>(value.size()),
                         ri::Format("Try to get more buffer: buffer is [%d] but data is [%d]", size,
                                    static_cast<int>(value.size())));
        // Results go out without a terminating zero; the caller learnt the
        // size from the call without a buffer.
        memcpy(buffer, value.data(), value.size());  // NOLINT(bugprone-not-null-terminated-result)
        return static_cast<int>(value.size());
    } catch (const ri::Exception& e) {
        last_error_ = e.What();
        return -1;
    }
}

// The value of a key converted by type; raises the reasons Get refuses.
std::string DARirImpl::Value(const char* key, int type) {
    ri::Test::Assert(!ValidKey(key), "Try to get invalid KEY");
    ri::Test::Assert(type > kMaxGetType, ri::Format("Try to get type: %d", type));
    if (type < 0) type = 0;
    return tags_.Get(key, static_cast<Tags::TagType>(type));
}

int DARirImpl::Get(const char* key, long* value, int type) {
    char buffer[kLongBuffer] = {};
    const int result = Get(key, buffer, kLongBuffer, type);
    if (value) *value = ri::Conv::String::ToInt(buffer);
    return result;
}

int DARirImpl::Get(const char*, double*, int, int) {
    log_->Info("DARirGet: fail");
    return -1;
}

int DARirImpl::GetTag(const char*, int, char*) {
    log_->Info("DARirGet: fail");
    return -1;
}

int DARirImpl::Run(int operation) {
    std::lock_guard<std::mutex> lock(run_lock_);
    log_->Info("Run: %d", operation);
    int result = -1;
    const std::string interface = ri::Conv::Upper(settings_.GetMainStr("INTERFACE", "DARir"));
    if (interface == "BANKAGENT")
        result = BankAgent(&tags_).Run(operation);
    else
        result = RunEngine(operation);
    log_->Info("Stop: %d (%d)", operation, result);
    return result;
}

int DARirImpl::RunEngine(int operation) {
    try {
        PPAD engine(&tags_);
        Publish(&engine);
        int result;
        try {
            result = engine.Run(operation, default_callback_);
        } catch (...) {
            Publish(nullptr);
            throw;
        }
        Publish(nullptr);
        return result;
    } catch (const ri::Exception& e) {
        log_->Error("Run: %s", CardData::Message(e.What()).c_str());
        // Refused because another run holds the pinpad: the result text says
        // so, and the cashier can tell a busy pinpad from a failed run.
        if (e.Error() == texts::kPinpadBusyCode) tags_.Add("text_message", texts::kPinpadBusy);
    } catch (const std::exception& e) {
        log_->Error("Run: %s", e.what());
    } catch (...) {
        log_->Error("Run: unknown exception");
    }
    return -1;
}

void DARirImpl::Publish(PPAD* engine) {
    std::lock_guard<std::mutex> guard(engine_lock_);
    engine_ = engine;
}

int DARirImpl::Stop() {
    std::lock_guard<std::mutex> guard(engine_lock_);
    return engine_ ? engine_->Stop() : 0;
}

void DARirImpl::SetCallbackFunc(void* callback, int type) {
    callbacks_[type] = callback;
    if (type <= 0) default_callback_ = callback;
}
