// Link throughput: transactions that carry large tag lists ("SETTAGS:", about
// 60 KB a frame) against the same transactions without them; the difference
// is the time the large frames took. The bare client receives the very same
// frames from the same pinpad: that is the loopback limit.
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

constexpr int kFrames = 10;
constexpr int kItems = 460;  // 460 items of 127 bytes: about 60 KB a frame
constexpr int kValueLength = 127;
const char* const kTagHeads[] = {"DF", "9F", "5F", "1F"};

// One tag list of kItems distinct two-byte tags (tag, length, value), written
// out byte by byte: more items than one "send-tags" step takes.
std::string LargeTagStep() {
    std::string step = "send \"SETTAGS:";
    char item[16];
    for (int i = 0; i < kItems; ++i) {
        std::snprintf(item, sizeof(item), "\\x%s\\x%02X\\x%02X", kTagHeads[i / 115], 1 + i % 115,
                      kValueLength);
        step += item + std::string(kValueLength, static_cast<char>('A' + i % 26));
    }
    return step + "\"\nexpect OK\n";
}

std::string Transaction(int frames) {
    std::string body = LoadScenario("large_frames.vps");
    std::string steps;
    for (int i = 0; i < frames; ++i) steps += LargeTagStep();
    return body.replace(body.find("@LARGE_FRAMES@"), 14, steps);
}

int FrameBytes() {
    return 3 + 8 + kItems * (2 + 1 + kValueLength);
}

double Timed(const std::function<void()>& run) {
    const Clock::time_point start = Clock::now();
    run();
    return Micros(Clock::now() - start);
}

void Bare(int port) {
    const int fd = ConnectLoopback(port);
    FrameLink link(fd);
    BareTransaction(link, PaymentStart());
    close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    try {
        Install install;
        if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
        const std::string pair = Transaction(kFrames) + "close\naccept\n" + Transaction(0);
        VirtualPinpad pinpad(install, RepeatScenario(pair, 3 * (rounds + 1)));
        install.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
        const int port = std::stoi(pinpad.Line());
        const std::function<void()> runs[] = {[port] { Bare(port); }, [] { LibraryPayment(true); },
                                              [] { LibraryPayment(false); }};
        std::vector<double> large[3], small[3];
        ResetSleeps();
        for (int round = 0; round <= rounds; ++round) {
            for (int k = 0; k < 3; ++k) {
                const double withFrames = Timed(runs[k]);
                const double without = Timed(runs[k]);
                if (round > 0) large[k].push_back(withFrames), small[k].push_back(without);
            }
        }
        pinpad.Finish();
        const double bytes = static_cast<double>(kFrames) * FrameBytes();
        double rate[3];
        for (int k = 0; k < 3; ++k) rate[k] = bytes / (Median(large[k]) - Median(small[k]));
        std::printf("Link throughput, pinpad to host: %d frames of %d bytes (%d runs, median)\n",
                    kFrames, FrameBytes(), rounds);
        PrintFigure("bare client (loopback limit)", rate[0], "MB/s");
        PrintFigure("library, logs off", rate[1], "MB/s");
        PrintFigure("library, default logs", rate[2], "MB/s");
        PrintRatio("limit / library, logs off", rate[0] / rate[1]);
        PrintRatio("limit / library, default logs", rate[0] / rate[2]);
        PrintFigure("sleeps taken by the link, all runs", SleptMicros() / 1000.0, "ms",
                    "(" + std::to_string(SleepCount()) + " sleeps)");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "throughput_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
