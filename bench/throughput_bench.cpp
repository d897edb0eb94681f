// Link throughput: transactions that carry large tag lists ("SETTAGS:", about
// 60 KB a frame), and transactions that fetch a 60 KB file through
// "GETFILE:", each against the same transaction without them; the difference
// is the time the large frames took. The bare client exchanges the very same
// frames with the same pinpad: that is the loopback limit.
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
constexpr int kFileBytes = 60 * 1024;
// More fetches than tag lists: one fetch takes too little to stand out of the
// noise of a transaction.
constexpr int kFileFetches = 40;
const char kFileName[] = "config.bin";

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

std::string FileTransaction(int fetches) {
    std::string body = LoadScenario("file_fetch.vps");
    std::string steps;
    for (int i = 0; i < fetches; ++i)
        steps += std::string("send \"GETFILE:") + kFileName + "\"\nexpect-file " + kFileName + "\n";
    return body.replace(body.find("@FILE_FETCHES@"), 14, steps);
}

// A binary file, every byte value and zeros included.
std::string FileData() {
    std::string data(kFileBytes, '\0');
    for (int i = 0; i < kFileBytes; ++i) data[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return data;
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

// Goals of the ratios limit / library; 0 where none is set.
struct Goals {
    double logsOff;
    double defaultLogs;
};

// Plays each kind of run (bare, library with logs off, library with default
// logs) once with the large frames and once without, for rounds rounds after
// one round of warm-up, and prints the rate of the large frames' bytes. With
// only >= 0 (a profiler's run) just that kind is played and nothing printed.
void Measure(const std::string& withFrames, const std::string& without, int rounds, double bytes,
             const std::string& title, Goals goals, int only) {
    Install install;
    if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
    WriteFile(install.Path(kFileName), FileData());
    const std::string pair = withFrames + "close\naccept\n" + without;
    const int kinds = only < 0 ? 3 : 1;
    VirtualPinpad pinpad(install, RepeatScenario(pair, kinds * (rounds + 1)));
    // The file is fetched from the work path, beside the bare client's copy.
    install.AddSettings("GETFILEPATH=\nPORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
    const int port = std::stoi(pinpad.Line());
    const std::function<void()> runs[] = {[port] { Bare(port); }, [] { LibraryPayment(true); },
                                          [] { LibraryPayment(false); }};
    std::vector<double> large[3], small[3];
    ResetSleeps();
    for (int round = 0; round <= rounds; ++round) {
        for (int k = 0; k < 3; ++k) {
            if (only >= 0 && k != only) continue;
            const double withTime = Timed(runs[k]);
            const double withoutTime = Timed(runs[k]);
            if (round > 0) large[k].push_back(withTime), small[k].push_back(withoutTime);
        }
    }
    pinpad.Finish();
    if (only >= 0) return;
    double rate[3];
    std::vector<double> took[3];
    for (int k = 0; k < 3; ++k) {
        took[k] = Differences(large[k], small[k]);
        rate[k] = bytes / Median(took[k]);
    }
    std::printf("%s (%d runs; rates: from medians, ratios: medians of each round's ratio)\n",
                title.c_str(), rounds);
    PrintFigure("bare client (loopback limit)", rate[0], "MB/s");
    PrintFigure("library, logs off", rate[1], "MB/s");
    PrintFigure("library, default logs", rate[2], "MB/s");
    PrintRatio("limit / library, logs off", MedianRatio(took[1], took[0]), goals.logsOff);
    PrintRatio("limit / library, default logs", MedianRatio(took[2], took[0]), goals.defaultLogs);
    PrintFigure("sleeps taken by the link, all runs", SleptMicros() / 1000.0, "ms",
                "(" + std::to_string(SleepCount()) + " sleeps)");
}

}  // namespace

// The kind of run a profiler asks for ("bare", "off", "on"), -1 for all.
int OnlyKind(int argc, char** argv) {
    if (argc < 3) return -1;
    const std::string kinds[] = {"bare", "off", "on"};
    for (int k = 0; k < 3; ++k)
        if (argv[2] == kinds[k]) return k;
    throw std::invalid_argument("usage: throughput_bench [ROUNDS [bare|off|on]]");
}

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    try {
        const int only = OnlyKind(argc, argv);
        Measure(Transaction(kFrames), Transaction(0), rounds,
                static_cast<double>(kFrames) * FrameBytes(),
                "Link throughput, pinpad to host: " + std::to_string(kFrames) + " frames of " +
                    std::to_string(FrameBytes()) + " bytes",
                {2, 10}, only);
        Measure(FileTransaction(kFileFetches), FileTransaction(0), rounds,
                static_cast<double>(kFileFetches) * (3 + kFileBytes),
                "File throughput, host to pinpad: " + std::to_string(kFileFetches) +
                    " GETFILE: replies of " + std::to_string(kFileBytes) + " bytes",
                {0, 0}, only);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "throughput_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
