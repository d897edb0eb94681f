#include "bank/AgentLibrary.h"

#include <dlfcn.h>

#include "ri/Exception.h"

AgentLibrary::AgentLibrary(const std::string& name) : handle_(dlopen(name.c_str(), RTLD_LAZY)) {
    if (!handle_) throw ri::Exception("DLL not loaded: [%s]", name.c_str());
    try {
        card_authorize_ = Resolve("_card_authorize");
        card_authorize6_ =
            reinterpret_cast<int (*)(void*, AgentAnswer*)>(Resolve("_card_authorize6"));
        get_ver_ = reinterpret_cast<int (*)()>(Resolve("_GetVer"));
        close_day_ = reinterpret_cast<int (*)(AgentAnswer*)>(Resolve("_close_day"));
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

AgentLibrary::~AgentLibrary() {
    dlclose(handle_);
}

void* AgentLibrary::Resolve(const char* symbol) const {
    void* address = dlsym(handle_, symbol);
    if (!address) throw ri::Exception("function not loaded: [%s]", symbol);
    return address;
}
