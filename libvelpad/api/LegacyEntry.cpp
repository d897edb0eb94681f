// The legacy entry points: one call runs a whole operation on a caller-owned
// authorization structure. Each call makes its own session, registers it for
// Stop(NULL), copies the structure's inputs in, runs the operation, copies
// the results back and deletes the session. Reasons of failure go to standard
// output, where the callers of these entry points look for them.
#include <cstdint>
#include <cstdio>
#include <string>

#include "api/CurrentSession.h"
#include "api/DARir.h"
#include "api/LegacyFields.h"
#include "api/LegacyRecord.h"
#include "api/velpad.h"
#include "ri/Exception.h"

namespace {

using legacy_fields::Form;

constexpr int kFailed = -3;
constexpr int kUnknownFailure = -4;
constexpr long kFullSize = sizeof(UserAuthIntFull);
// The smallest structure that still holds the operation code.
constexpr long kSmallestSize = legacy_fields::kOperationOffset + sizeof(std::int32_t);

// The session of one legacy call, registered as the current session for its
// whole life and withdrawn before it is deleted.
class LegacySession {
public:
    LegacySession() : pos_(GetDARir()) {
        if (!pos_) throw ri::Exception("create object fail");
        current_session::Register(pos_);
    }
    ~LegacySession() {
        current_session::Register(nullptr);
        DeleteDARir(pos_);
    }
    LegacySession(const LegacySession&) = delete;
    LegacySession& operator=(const LegacySession&) = delete;
    DARir& operator*() const { return *pos_; }

private:
    DARir* pos_;
};

// Runs one stage of a call; whatever goes wrong in it fails the call with
// the stage's message.
template <typename Step>
void Stage(const char* failure, Step step) {
    try {
        step();
    } catch (...) {
        throw ri::Exception(std::string(failure));
    }
}

// Turns a failure into the printed reason and the call's result.
template <typename Body>
int Reported(const char* name, Body body) {
    int result;
    try {
        return body();
    } catch (const ri::Exception& e) {
        std::printf("ERROR: %s: %s\n", name, e.What());
        result = kFailed;
    } catch (...) {
        std::printf("ERROR: %s: unknown exception\n", name);
        result = kUnknownFailure;
    }
    std::fflush(stdout);
    return result;
}

// "PORT=value" in the settings field overrides the engine's port for this
// call; any other key is ignored.
void OverridePort(DARir& session, const LegacyRecord& record) {
    const std::string text =
        record.Text(offsetof(UserAuthInt, settings), sizeof(UserAuthInt::settings));
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || text.compare(0, equals, "PORT") != 0) return;
    const std::string port = text.substr(equals + 1);
    if (session.Set("PORT", port.data(), static_cast<int>(port.size()), -1) != 0)
        throw ri::Exception("cannot set PORT");
}

void SetIdentifier(DARir& session, const char* id) {
    if (id && session.Set("ORVEX_ID", id, -1, -1) != 0) throw ri::Exception("cannot set ORVEX_ID");
}

int Operation(const LegacyRecord& record) {
    std::int32_t operation = 0;
    record.Read(legacy_fields::kOperationOffset, &operation);
    return operation;
}

bool SizeFits(int size) {
    if (size > kFullSize) {
        std::printf("ERROR: ProcessOwFull: struct size fail: [%d] > [%ld]\n", size, kFullSize);
    } else if (size < kSmallestSize) {
        std::printf("ERROR: ProcessOwFull: struct size fail: [%d] < [%ld]\n", size, kSmallestSize);
    } else {
        return true;
    }
    std::fflush(stdout);
    return false;
}

}  // namespace

extern "C" {

int ProcessOwId(const char* id, UserAuthInt* auth) {
    current_session::Register(nullptr);
    return Reported("ProcessOw", [&] {
        if (!auth) throw ri::Exception("parse struct fail");
        LegacyRecord record(auth, sizeof(UserAuthInt));
        LegacySession session;
        Stage("parse struct fail", [&] {
            legacy_fields::CopyIn(*session, record, legacy_fields::kShortInputs, Form::Text);
            legacy_fields::CopyIn(*session, record, legacy_fields::kShortInputs, Form::Digits);
            OverridePort(*session, record);
            SetIdentifier(*session, id);
        });
        const int result = (*session).Run(Operation(record));
        Stage("fill struct fail",
              [&] { legacy_fields::CopyOut(*session, record, legacy_fields::kShortOutputs); });
        return result;
    });
}

int ProcessOw(UserAuthInt* auth) {
    return ProcessOwId(nullptr, auth);
}

int ProcessOwIdFull(const char* id, UserAuthIntFull* auth, int size) {
    current_session::Register(nullptr);
    if (!SizeFits(size)) return -1;
    return Reported("ProcessOwFull", [&] {
        if (!auth) throw ri::Exception("parse struct fail");
        LegacyRecord record(auth, static_cast<std::size_t>(size));
        LegacySession session;
        Stage("parse struct fail", [&] {
            legacy_fields::CopyIn(*session, record, legacy_fields::kFullInputs, Form::Text);
            legacy_fields::CopyNumbersIn(*session, record);
            legacy_fields::CopyIn(*session, record, legacy_fields::kFullInputs, Form::Digits);
            SetIdentifier(*session, id);
        });
        const int result = (*session).Run(Operation(record));
        Stage("fill struct fail", [&] {
            legacy_fields::CopyOut(*session, record, legacy_fields::kFullOutputs);
            legacy_fields::CopyNumbersOut(*session, record);
        });
        return result;
    });
}

int ProcessOwFull(UserAuthIntFull* auth, int size) {
    return ProcessOwIdFull(nullptr, auth, size);
}
}
