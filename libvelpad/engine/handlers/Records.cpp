// What a run records of its result and state: the stored result code (tags,
// result file, technical check), the one-byte status file, and the
// pinpad's clock request.
#include <ctime>

#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/File.h"
#include "ri/Format.h"
#include "ri/RunFile.h"
#include "ri/Trace.h"

namespace handlers {

bool StatusKept(const Request& r) {
    return r.session.StatusKept();
}

bool WriteStatus(Request& r, char state) {
    const std::string path = r.session.StatusFilePath();
    std::string reason;
    if (ri::RunFile::RewriteDurably(path, std::string(1, state), &reason)) return true;
    r.trace.Error("PPAD: status file [%s] cannot be written: %s", path.c_str(), reason.c_str());
    r.log.Write("ERROR: status file [%s] cannot be written: %s", path.c_str(), reason.c_str());
    r.outputs.Lost(path);
    return false;
}

void StoreCode(Request& r, int code) {
    r.trace.Debug4("StoreCode: %d", code);
    const std::string converted = ri::Format("%03i", r.config().rcConv[code]);
    r.tags.Add("response_code", converted);
    r.tags.Add("text_message", ResultText(r, code));
    if (!r.outputs.printed) PrintTechCheck(r, code);
    r.outputs.result.Write(converted, false);
    r.outputs.result.Close();
}

Served SyncPPADTime(Request& r, const std::string&) {
    r.trace.Debug4("SyncPPADTime");
    if (r.Has("NOTIMESYNC")) return r.reply.Error();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return r.reply.Answer(ri::Format("%02d%02d%04d\x1b%02d:%02d", local.tm_mday, local.tm_mon + 1,
                                     local.tm_year + 1900, local.tm_hour, local.tm_min));
}

const CommandRows& RecoveryCommands() {
    static const CommandRows rows = {{"TIMESYNC:", SyncPPADTime, 1}};
    return rows;
}

}  // namespace handlers
