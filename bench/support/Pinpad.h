// The virtual pinpad as the benchmarks use it: one process playing a
// scenario (often one payment repeated with close/accept between copies), on
// a loopback TCP port or on a pseudo-terminal.
#ifndef VELPAD_BENCH_PINPAD_H
#define VELPAD_BENCH_PINPAD_H

#include <sys/types.h>

#include <string>

#include "support/Install.h"

namespace bench {

// A scenario file of the bench folder, read whole.
std::string LoadScenario(const std::string& name);
// copies of body, the line dropped and accepted again between them. On a
// serial line (serial true) the copies simply follow each other: the line
// stays up while hosts open and close it, and re-creating the terminal
// between copies would race the next host's open.
std::string RepeatScenario(const std::string& body, int copies, bool serial = false);

class VirtualPinpad {
public:
    // Writes scenario into the installation and starts playing it; with a
    // non-empty ptyPath on that terminal, else on a free loopback port.
    VirtualPinpad(const Install& install, const std::string& scenario,
                  const std::string& ptyPath = "");
    ~VirtualPinpad();
    VirtualPinpad(const VirtualPinpad&) = delete;
    VirtualPinpad& operator=(const VirtualPinpad&) = delete;

    // The relay port, or the terminal's path.
    const std::string& Line() const { return line_; }
    // Waits for the scenario's end; throws unless every step held.
    void Finish();

private:
    const Install& install_;
    pid_t pid_ = -1;
    std::string line_;
};

}  // namespace bench

#endif
