// The session's service commands behind DARirRunCmd: the link test, the
// settings message and the two host-driven modes.
#include <cstring>

#include "api/DARirImpl.h"
#include "config/CardData.h"
#include "engine/PPAD.h"
#include "modes/DlgDirect.h"
#include "modes/ProxyMode.h"
#include "ri/Encoding.h"
#include "ri/Exception.h"
#include "ri/Test.h"
#include "ri/Trace.h"

namespace {

HostMode* MakeDlgDirect(Tags* tags) {
    return new DlgDirect(tags);
}

HostMode* MakeProxyMode(Tags* tags) {
    return new ProxyMode(tags);
}

}  // namespace

int DARirImpl::Run(const char* command, const char* argument, int size) {
    std::lock_guard<std::mutex> lock(run_lock_);
    if (ri::Test::TestString(command) == 0) {
        log_->Error("Run command: invalid command");
        return -1;
    }
    if (size < 0 && argument) {
        size = static_cast<int>(strnlen(argument, ri::Test::kMaxCallerString));
        if (size >= static_cast<int>(ri::Test::kMaxCallerString)) {
            log_->Error("Run command: [%s]: argument of %zu bytes or longer without a size",
                        CardData::Message(command).c_str(), ri::Test::kMaxCallerString);
            return -1;
        }
    }
    std::string text = argument && size > 0 ? std::string(argument, size) : std::string();
    if (settings_.GetMainInt("UTF8", 0) > 0) text = ri::Encoding::utf_win1251(text);
    return RunCommand(command, text);
}

int DARirImpl::RunCommand(const std::string& command, const std::string& argument) {
    if (command == "DLG_DIRECT") return DlgDirectCommand(argument);
    if (command == "PROXY_MODE") return ProxyModeCommand(argument);
    if (command != "TEST_PING" && command != "SETTINGS") {
        log_->Error("Run command: [%s] is not supported", CardData::Message(command).c_str());
        return -1;
    }
    try {
        // The engine sees the settings files only, never the session's own
        // values; running no operation, it leaves the last one's files alone.
        Tags tags;
        if (command == "TEST_PING") {
            tags.Add("DISABLE_LOG", argument);
            return PPAD(&tags).Ping();
        }
        return PPAD(&tags).SetSettings(argument);
    } catch (const std::exception& e) {
        log_->Error("%s: %s", CardData::Message(command).c_str(),
                    CardData::Message(e.what()).c_str());
    }
    return -1;
}

int DARirImpl::DlgDirectCommand(const std::string& argument) {
    return ModeCommand(dlg_direct_, "DlgDirectCommand", "DLG_DIRECT", argument, MakeDlgDirect);
}

int DARirImpl::ProxyModeCommand(const std::string& argument) {
    return ModeCommand(proxy_mode_, "ProxyModeCommand", "PROXY_MODE", argument, MakeProxyMode);
}

// "START" opens the mode, every request goes to its object, "END" closes it
// after its own exchange. A failure closes the mode, and so do a "START" the
// pinpad did not accept and a request after which the link is gone: such a
// mode cannot go on, and the next "START" opens it afresh.
int DARirImpl::ModeCommand(std::unique_ptr<HostMode>& mode, const char* name, const char* failure,
                           const std::string& argument, HostMode* (*make)(Tags*)) {
    const std::string shown = CardData::Request(argument);
    log_->Info("DARirImpl: %s: 1", name);
    log_->Info("%s: %s", name, shown.c_str());
    int result = -1;
    try {
        if (argument == "START" && mode) {
            log_->Debug("%s: already start", name);
            throw ri::Exception(0, "already start");
        }
        if (argument == "START") {
            log_->Debug("%s: create", name);
            mode.reset(make(&tags_));
        } else if (!mode) {
            log_->Debug("%s: no object", name);
            throw ri::Exception(0, "no object");
        }
        log_->Info("DARirImpl: %s: Run: [%s]", name, shown.c_str());
        result = mode->Run(argument);
        log_->Info("DARirImpl: %s: Run: result: [%d]", name, result);
        const bool refused = argument == "START" && result != 0;
        if (argument == "END" || refused || !mode->Connected()) {
            log_->Debug("%s: delete", name);
            mode.reset();
        }
    } catch (const std::exception& e) {
        log_->Error("%s: %s", failure, CardData::Message(e.what()).c_str());
        mode.reset();
        result = -1;
    }
    log_->Debug("%s: result: [%d]", name, result);
    return result;
}
