// Reporting of the signals velrun receives.
#pragma once

namespace velrun {

// Unblocks every signal and installs handleSignal for `signum`.
void installSignalHandler(int signum);

// Installs the handler for SIGABRT, SIGFPE, SIGHUP, SIGILL, SIGINT, SIGPIPE,
// SIGQUIT, SIGSEGV and SIGTERM, in that order.
void installSignalHandlers();

// Writes the signal and the current call stack to standard error. Hang-up,
// interrupt, broken pipe, quit and terminate are then ignored; an abort or a
// fault (segmentation, arithmetic, illegal instruction) ends the process with
// the signal's default action.
void handleSignal(int signum);

}  // namespace velrun
