#include "FuzzEngine.h"

#include <cstdint>
#include <cstring>

#include "FuzzSandbox.h"

namespace {

// Settings of every fuzzed engine: short frame and idle time-outs, so that a
// cut frame or a silent link costs milliseconds; the channel's information
// dialogs and the pinpad's trace file on, so that their code runs too.
const char kSettings[] =
    "TIMEOUT=1\n"
    "PPAD_IDLE_TO=1\n"
    "INFO_DIALOG=1\n"
    "USEPPADTRACE=1\n";

constexpr int kAnswerLimit = 64;

std::string answers;
int answered = 0;

// The next answer byte; -1 (the operator did not answer) once the bytes or
// the budget are used up.
int NextAnswer() {
    if (answers.empty() || answered >= kAnswerLimit) return -1;
    return static_cast<unsigned char>(answers[answered++ % answers.size()]);
}

int Menu(const char*, const char**, int count, int64_t, int) {
    const int answer = NextAnswer();
    return answer < 0 ? answer : answer % (count + 2) - 1;
}
int YesNo(const char*, const char*, int64_t, int) {
    return NextAnswer() % 3;
}
int Warning(const char*, int64_t, int) {
    return 0;
}
int Text(const char*, int) {
    return 0;
}
int Input(const char*, const char*, char* buffer, int size, int, int, int64_t, int) {
    const int answer = NextAnswer();
    if (answer < 0) return -1;
    std::memset(buffer, '0' + answer % 10, static_cast<std::size_t>(answer % (size + 1)));
    return 0;
}
int Screen() {
    return 0;
}
int PrintLine(const char*, int, int, int) {
    return 0;
}
int Key(int64_t) {
    return NextAnswer();
}

void* dialogTable[8] = {nullptr,
                        nullptr,
                        reinterpret_cast<void*>(&Menu),
                        reinterpret_cast<void*>(&YesNo),
                        reinterpret_cast<void*>(&Warning),
                        reinterpret_cast<void*>(&Text),
                        reinterpret_cast<void*>(&Text),
                        reinterpret_cast<void*>(&Input)};
void* screenTable[6] = {nullptr,
                        reinterpret_cast<void*>(&Screen),
                        reinterpret_cast<void*>(&Screen),
                        reinterpret_cast<void*>(&PrintLine),
                        nullptr,
                        reinterpret_cast<void*>(&Key)};

}  // namespace

void PrepareEngineSandbox() {
    static const bool ready = !SandboxFile("cashreg.ini", kSettings).empty();
    static_cast<void>(ready);
}

FuzzEngine::FuzzEngine(Tags* tags, const std::string& answerBytes)
    : engine_(tags), link_(new FakeTransport) {
    answers = answerBytes;
    answered = 0;
    link_->hangUp = true;
    engine_.AttachTransport(link_);
    engine_.Bank().Attach(new FakeChannel);
    engine_.Dialogs().SetDialogs(dialogTable, screenTable);
}

void FuzzEngine::Serve(const std::string& payload) {
    engine_.ProcessCommand(payload);
    BankChannel& bank = engine_.Bank();
    if (bank.Held() && !dynamic_cast<FakeChannel*>(bank.Transport())) bank.Attach(new FakeChannel);
}
