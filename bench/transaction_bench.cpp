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

// only: -1 for all three kinds of run, else the one kind to run (profiling).
Series Measure(int rounds, int only) {
    Install install;
    if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
    const int total = rounds + kWarmUpRounds;
    const int kinds = only < 0 ? 3 : 1;
    VirtualPinpad pinpad(install, RepeatScenario(LoadScenario("payment.vps"), kinds * total));
    install.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
    const int port = std::stoi(pinpad.Line());
    Series series;
    std::vector<std::function<void()>> runs = {
        [port] { BarePayment(port); }, [] { LibraryPayment(true); }, [] { LibraryPayment(false); }};
    std::vector<double>* sinks[] = {&series.bare, &series.logsOff, &series.logsOn};
    ResetSleeps();
    for (int round = 0; round < total; ++round) {
        for (int k = 0; k < kinds; ++k) {
            const int which = only < 0 ? (round + k) % 3 : only;  // rotate the order
            const double micros = Timed(runs[which]);
            if (round >= kWarmUpRounds) sinks[which]->push_back(micros);
        }
    }
    pinpad.Finish();
    if (chdir("/") != 0) throw std::runtime_error("chdir failed");
    return series;
}

// Under a profiler: one kind of run only, its median alone.
int ProfileOne(int rounds, const std::string& kind) {
    const char* const names[] = {"bare", "off", "on"};
    for (int which = 0; which < 3; ++which) {
        if (kind != names[which]) continue;
        const Series s = Measure(rounds, which);
        const std::vector<double>* runs[] = {&s.bare, &s.logsOff, &s.logsOn};
        PrintFigure("median of " + kind, Median(*runs[which]), "us");
        return 0;
    }
    std::fprintf(stderr, "usage: transaction_bench [ROUNDS [bare|off|on]]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    try {
        if (argc > 2) return ProfileOne(rounds, argv[2]);
        const Series s = Measure(rounds, -1);
        const double bare = Median(s.bare), off = Median(s.logsOff), on = Median(s.logsOn);
        std::printf(
            "Transaction over loopback TCP (51 exchanges, %d runs each; times: medians, "
            "ratios: medians of each round's ratio)\n",
            rounds);
        PrintFigure("bare exchange of the same frames (limit)", bare, "us");
        PrintFigure("library, logs off (DISABLE_LOG)", off, "us");
        PrintFigure("library, default logs", on, "us");
        PrintRatio("logs off / limit", MedianRatio(s.logsOff, s.bare), 1.25);
        PrintRatio("default logs / limit", MedianRatio(s.logsOn, s.bare), 1.6);
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
