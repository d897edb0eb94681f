#include "SignalHandler.h"

#include <execinfo.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace velrun {

namespace {

constexpr int kMaxFrames = 100;
constexpr int kHandledSignals[] = {SIGABRT, SIGFPE,  SIGHUP,  SIGILL, SIGINT,
                                   SIGPIPE, SIGQUIT, SIGSEGV, SIGTERM};

// Descriptions are taken from strsignal at installation, because the handler
// itself may only use async-signal-safe calls.
char descriptions[NSIG][96];

void writeText(const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = write(STDERR_FILENO, text, left);
        if (written <= 0) return;
        text += written;
        left -= static_cast<size_t>(written);
    }
}

void writeNumber(int number) {
    char digits[16];
    char* end = digits + sizeof digits;
    char* p = end;
    *--p = '\0';
    unsigned value = number < 0 ? 0U - static_cast<unsigned>(number) : number;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (number < 0) *--p = '-';
    writeText(p);
}

void writeStack() {
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    writeText("Вывод ");
    writeNumber(count);
    writeText(" фреймов стека:\n");
    for (int i = 0; i < count; ++i) {
        writeText("  ");
        backtrace_symbols_fd(&frames[i], 1, STDERR_FILENO);
    }
}

bool endsProcess(int signum) {
    return signum == SIGSEGV || signum == SIGFPE || signum == SIGILL || signum == SIGABRT;
}

// Hands the signal back to its default action; it is delivered (and ends the
// process) as soon as the handler returns. Returning into a faulting
// instruction with the handler still installed would fault again forever.
void endWithDefaultAction(int signum) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signum, &action, nullptr);
    raise(signum);
}

void keepDescription(int signum) {
    const char* text = strsignal(signum);
    std::snprintf(descriptions[signum], sizeof descriptions[signum], "%s", text ? text : "");
}

}  // namespace

void installSignalHandler(int signum) {
    sigset_t none;
    if (sigemptyset(&none) != 0) {
        std::cerr << "sigemptyset failed" << std::endl;
    } else if (sigprocmask(SIG_SETMASK, &none, nullptr) != 0) {
        std::cerr << "sigprocmask failed" << std::endl;
    }
    keepDescription(signum);
    struct sigaction action {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    if (sigaction(signum, &action, nullptr) != 0) std::cerr << "sigaction failed" << std::endl;
}

void installSignalHandlers() {
    // The first backtrace loads the unwinder; doing it here keeps that
    // allocation out of the handler.
    void* frame[1];
    backtrace(frame, 1);
    for (int signum : kHandledSignals) installSignalHandler(signum);
}

void handleSignal(int signum) {
    // While reporting, a closed standard error must not raise a new broken
    // pipe signal, which would bring the report back again and again.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous);
    writeText("Получен сигнал, signumber = ");
    writeNumber(signum);
    writeText(" (");
    writeText(signum > 0 && signum < NSIG ? descriptions[signum] : "");
    writeText(")\n");
    writeStack();
    // Inside the broken-pipe handler that signal is blocked, so the writes
    // above left it pending; ignoring it once more discards it.
    sigaction(SIGPIPE, &ignore, nullptr);
    sigaction(SIGPIPE, &previous, nullptr);
    if (endsProcess(signum)) endWithDefaultAction(signum);
}

}  // namespace velrun
