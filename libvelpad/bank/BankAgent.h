#ifndef VELPAD_BANK_BANKAGENT_H
#define VELPAD_BANK_BANKAGENT_H

#include <string>

#include "config/Cashreq.h"
#include "config/Registry.h"
#include "ri/INI.h"

class Tags;
struct AgentAnswer;
namespace ri {
class Trace;
}

// Runs one operation through the bank's own agent library ("libbankagent.so")
// instead of the pinpad, when "darir.ini" selects INTERFACE=BANKAGENT. The
// agent's answer record becomes the same result tags and cheque file that a
// pinpad run leaves, so the session's callers read the outcome the same way.
class BankAgent {
public:
    explicit BankAgent(Tags* tags);

    // The agent function's result; -1 when the operation could not be handed
    // to the agent (the reason is in the trace).
    int Run(int operation);
    // file completed with directory (or the settings directory when that is
    // empty) when it is a bare name; otherwise file unchanged.
    std::string GetPathFile(const std::string& file, const std::string& directory);

private:
    int Call(int operation);
    void StoreCheque(const char* cheque);
    void StoreResults(const AgentAnswer& answer);
    void StoreText(const char* tag, const char* field, std::size_t width);

    Tags* tags_;
    ri::Trace* trace_;
    ri::INI settings_;
    Registry registry_;
    Cashreq cashreq_;
};

#endif
