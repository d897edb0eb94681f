#ifndef VELPAD_TESTS_ENGINE_HANDLERSUPPORT_H
#define VELPAD_TESTS_ENGINE_HANDLERSUPPORT_H

#include <cstdint>
#include <initializer_list>
#include <string>

#include "EngineFixture.h"

// Bytes written as numbers, so that binary values read unambiguously.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// One tag-list item: tag bytes, length byte, value.
inline std::string Item(const std::string& tag, const std::string& value) {
    return tag + static_cast<char>(value.size()) + value;
}

// An engine over the settings directory whose operation table is read from
// "ops.ini" in it, as a run reads it, with its run begun (the pinpad locked,
// the result files prepared).
struct OperationsEngine {
    OperationsEngine(Tags* tags, const std::string& settingsDir) : engine(tags, {}, settingsDir) {
        engine.Session().config().operations.SetFile(engine.Session().PathIn("ops.ini", ""));
        engine.BeginRun();
    }
    PPAD engine;
};

// The caller's dialog table with the information window and the yes/no
// question recorded; the yes/no answer is preset.
struct DialogRecorder {
    static inline std::string info;
    static inline std::string question;
    static inline int answer = 0;
    static inline int infoCalls = 0;

    static int Info(const char* text, int) {
        info = text;
        ++infoCalls;
        return 0;
    }
    static int YesNo(const char* text, const char* prompt, int64_t, int) {
        question = std::string(text) + "|" + prompt;
        return answer;
    }

    DialogRecorder() {
        info.clear();
        question.clear();
        answer = 0;
        infoCalls = 0;
        table[3] = reinterpret_cast<void*>(&YesNo);
        table[5] = reinterpret_cast<void*>(&Info);
    }
    void* table[8] = {};
};

#endif
