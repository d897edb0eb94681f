#ifndef VELPAD_TESTS_E2E_COMMANDSESSION_H
#define VELPAD_TESTS_E2E_COMMANDSESSION_H

#include <string>

#include "api/velpad.h"

// A session driven through the exported service commands, deleted with the
// object.
class CommandSession {
public:
    CommandSession() : pos_(CreateDARir()) {}
    ~CommandSession() { DeleteDARir(pos_); }
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    int Run(const char* command, const std::string& argument) {
        return DARirRunCmd(pos_, command, argument.data(), static_cast<int>(argument.size()));
    }
    std::string Get(const char* key) {
        char buffer[256] = {};
        const int length = DARirGet(pos_, key, buffer, sizeof(buffer));
        return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
    }
    DARir* Pos() { return pos_; }

private:
    DARir* pos_;
};

#endif
