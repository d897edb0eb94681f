#ifndef VELPAD_BANK_AGENTLIBRARY_H
#define VELPAD_BANK_AGENTLIBRARY_H

#include <string>

#include "bank/AgentAnswer.h"

// The bank agent library, loaded by name for one operation and closed when
// the object goes away. Loading checks that all four entry points resolve.
class AgentLibrary {
public:
    // Raises ri::Exception "DLL not loaded: [name]" or
    // "function not loaded: [symbol]".
    explicit AgentLibrary(const std::string& name);
    ~AgentLibrary();
    AgentLibrary(const AgentLibrary&) = delete;
    AgentLibrary& operator=(const AgentLibrary&) = delete;

    int Version() const { return get_ver_(); }
    int Authorize(AgentAnswer* answer) const { return card_authorize6_(nullptr, answer); }
    int CloseDay(AgentAnswer* answer) const { return close_day_(answer); }

private:
    void* Resolve(const char* symbol) const;

    void* handle_;
    // Resolved with the others so that an incomplete library is refused, but
    // never called: authorisations go through the sixth form.
    void* card_authorize_ = nullptr;
    int (*card_authorize6_)(void*, AgentAnswer*) = nullptr;
    int (*get_ver_)() = nullptr;
    int (*close_day_)(AgentAnswer*) = nullptr;
};

#endif
