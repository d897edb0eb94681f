// The payment over a serial line played on a pseudo-terminal. The library's
// runs are timed whole and the sleeps its link takes (the pause before every
// send, SERIAL_SEND_PAUSE) are measured apart, with the default pause and with
// none; the bare client exchanging the same frames on the same line is the
// limit.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "LibraryRun.h"
#include "support/BareClient.h"
#include "support/Install.h"
#include "support/Pinpad.h"
#include "support/SleepMeter.h"
#include "support/Stats.h"

namespace {

using namespace bench;

void Bare(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (fd < 0 || tcgetattr(fd, &raw) != 0) throw std::runtime_error("cannot open " + device);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    FrameLink link(fd);
    BareTransaction(link, PaymentStart());
    close(fd);
}

struct Sample {
    std::vector<double> total, slept;
    void Add(const std::function<void()>& run) {
        const double before = SleptMicros();
        const Clock::time_point start = Clock::now();
        run();
        total.push_back(Micros(Clock::now() - start));
        slept.push_back(SleptMicros() - before);
    }
};

void Report(const std::string& name, const Sample& s, double limit) {
    const double total = Median(s.total), slept = Median(s.slept);
    PrintFigure(name, total / 1000, "ms");
    PrintFigure("  of which sleeps of the link", slept / 1000, "ms");
    PrintFigure("  without the sleeps", (total - slept) / 1000, "ms");
    PrintRatio("  / limit", total / limit);
    PrintRatio("  without the sleeps / limit", (total - slept) / limit);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 4;
    try {
        Install install;
        if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
        const std::string device = "/dev/ttyVPADB" + std::to_string(getpid());
        VirtualPinpad pinpad(install, RepeatScenario(LoadScenario("payment.vps"), 5 * rounds, true),
                             device);
        install.AddSettings("PORT=" + pinpad.Line());
        Sample bare, off, on, offNoPause, onNoPause;
        for (int round = 0; round < rounds; ++round) {
            bare.Add([&device] { Bare(device); });
            // The last line of a key wins: each round starts with the default.
            install.AddSettings("SERIAL_SEND_PAUSE=50");
            off.Add([] { LibraryPayment(true); });
            on.Add([] { LibraryPayment(false); });
            install.AddSettings("SERIAL_SEND_PAUSE=0");
            offNoPause.Add([] { LibraryPayment(true); });
            onNoPause.Add([] { LibraryPayment(false); });
        }
        pinpad.Finish();
        const double limit = Median(bare.total);
        std::printf("Payment over a pseudo-terminal (51 exchanges, %d runs each, median)\n",
                    rounds);
        PrintFigure("bare exchange of the same frames (limit)", limit / 1000, "ms");
        Report("library, logs off, SERIAL_SEND_PAUSE=50", off, limit);
        Report("library, default logs, SERIAL_SEND_PAUSE=50", on, limit);
        Report("library, logs off, SERIAL_SEND_PAUSE=0", offNoPause, limit);
        Report("library, default logs, SERIAL_SEND_PAUSE=0", onNoPause, limit);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "serial_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
