// Transaction overhead: a payment of about fifty exchanges through the
// library, against the bare exchange of the very same frames with the same
// virtual pinpad over loopback TCP. Library runs with logs off and with the
// default logs alternate with bare runs in one pinpad process, so that load
// from elsewhere on the machine falls on all three alike.
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

constexpr int kWarmUpRounds = 3;

void BarePayment(int port) {
    const int fd = ConnectLoopback(port);
    FrameLink link(fd);
    BareTransaction(link, PaymentStart());
    close(fd);
}

double Timed(const std::function<void()>& run) {
    const Clock::time_point start = Clock::now();
    run();
    return Micros(Clock::now() - start);
}

struct Series {
    std::vector<double> bare, logsOff, logsOn;
};

Series Measure(int rounds) {
    Install install;
    if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
    const int total = rounds + kWarmUpRounds;
    VirtualPinpad pinpad(install, RepeatScenario(LoadScenario("payment.vps"), 3 * total));
    install.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
    const int port = std::stoi(pinpad.Line());
    Series series;
    std::vector<std::function<void()>> runs = {[port] { BarePayment(port); },
                                               [] { LibraryPayment(true); },
                                               [] { LibraryPayment(false); }};
    std::vector<double>* sinks[] = {&series.bare, &series.logsOff, &series.logsOn};
    ResetSleeps();
    for (int round = 0; round < total; ++round) {
        for (int k = 0; k < 3; ++k) {
            const int which = (round + k) % 3;  // rotate the order between rounds
            const double micros = Timed(runs[which]);
            if (round >= kWarmUpRounds) sinks[which]->push_back(micros);
        }
    }
    pinpad.Finish();
    if (chdir("/") != 0) throw std::runtime_error("chdir failed");
    return series;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    try {
        const Series s = Measure(rounds);
        const double bare = Median(s.bare), off = Median(s.logsOff), on = Median(s.logsOn);
        std::printf("Transaction over loopback TCP (51 exchanges, %d runs each, median)\n",
                    rounds);
        PrintFigure("bare exchange of the same frames (limit)", bare, "us");
        PrintFigure("library, logs off (DISABLE_LOG)", off, "us");
        PrintFigure("library, default logs", on, "us");
        PrintRatio("logs off / limit", off / bare, 2);
        PrintRatio("default logs / limit", on / bare, 3);
        PrintFigure("library overhead per transaction, logs off", off - bare, "us");
        PrintFigure("library overhead per transaction, default logs", on - bare, "us");
        PrintFigure("sleeps taken by the link, all runs", SleptMicros() / 1000.0, "ms",
                    "(" + std::to_string(SleepCount()) + " sleeps)");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "transaction_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
