#ifndef VELPAD_API_DARIRIMPL_H
#define VELPAD_API_DARIRIMPL_H

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "api/DARir.h"
#include "config/Tags.h"
#include "ri/INI.h"

class PPAD;
class HostMode;
namespace ri {
class Trace;
}

// One session: owns the tag store for its whole life and builds one pinpad
// engine per run. Settings come from "darir.ini" ("Console", "LogType",
// "Encoding", "LogRotateMiB", "LogRotateKeep", "INTERFACE" in its main section).
class VELPAD_EXPORT DARirImpl : public DARir {
public:
    DARirImpl();
    ~DARirImpl() override;
    DARirImpl(const DARirImpl&) = delete;
    DARirImpl& operator=(const DARirImpl&) = delete;

    const char* GetLastError() override;
    int Clear() override;
    int Set(const char* key, const char* value, int size, int type) override;
    int Set(const char* key, long value, int type) override;
    int Set(const char* key, double value, int size, int type) override;
    int SetTags(const char* data, int size) override;
    int Get(const char* key, char* buffer, int size, int type) override;
    int Get(const char* key, long* value, int type) override;
    int Get(const char* key, double* value, int size, int type) override;
    int GetTag(const char* key, int size, char* buffer) override;
    int Run(int operation) override;
    int Run(const char* command, const char* argument, int size) override;
    int Stop() override;
    void SetCallbackFunc(void* callback, int type) override;

private:
    int RunEngine(int operation);
    void Publish(PPAD* engine);
    std::string Value(const char* key, int type);
    int Refuse(const std::string& reason);
    // Service commands.
    int RunCommand(const std::string& command, const std::string& argument);
    int DlgDirectCommand(const std::string& argument);
    int ProxyModeCommand(const std::string& argument);
    int ModeCommand(std::unique_ptr<HostMode>& mode, const char* name, const char* failure,
                    const std::string& argument, HostMode* (*make)(Tags*));

    std::string last_error_;
    Tags tags_;
    // The engine of the run in progress, published and withdrawn under
    // engine_lock_ so that a Stop from another thread never reaches an
    // engine that is being destroyed.
    PPAD* engine_ = nullptr;
    std::mutex engine_lock_;
    void* default_callback_ = nullptr;
    ri::Trace* log_;
    ri::INI settings_;
    std::mutex run_lock_;
    std::map<int, void*> callbacks_;
    // The open host-driven modes, null while closed. They work on tags_
    // and are destroyed before it.
    std::unique_ptr<HostMode> dlg_direct_;
    std::unique_ptr<HostMode> proxy_mode_;
};

#endif
