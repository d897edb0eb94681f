#ifndef VELPAD_ENGINE_HANDLERS_RUNRECORDS_H
#define VELPAD_ENGINE_HANDLERS_RUNRECORDS_H

#include <string>

#include "config/Tags.h"
#include "engine/handlers/Request.h"

namespace handlers {

// The code stored while no result has come from the pinpad.
constexpr int kNoResult = 999;

// What several families record for the run: a result code (tags, result
// file, the technical check when no slip came), its message, the technical
// check itself, the status byte, the start information on the cashier's
// screen, and the result files written after each tag list.
void StoreCode(Request& request, int code);
std::string ResultText(const Request& request, int code);
void PrintTechCheck(Request& request, int code);
// Whether this installation keeps the status file ("NODIALOGS" and
// "NO_CHECK_LAST_OP" switch it off).
bool StatusKept(const Request& request);
// The status file's one byte, 0x01 while a transaction is open, on the disk
// (ri::RunFile::RewriteDurably); false, with the file noted as lost by the
// run's outputs, when it cannot be kept.
bool WriteStatus(Request& request, char state);
void PrintInitInfo(Request& request, int operation);
void SaveOutputFile(Request& request);
void SaveVarEnv(Request& request);
// The tags as one tag list in the engine log (card data redacted).
void PrintTags(Request& request, const Tags* tags);

}  // namespace handlers

#endif
