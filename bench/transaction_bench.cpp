// Transaction overhead: a payment of about fifty exchanges through the
// library, against the bare exchange of the very same frames with the same
// virtual pinpad over loopback TCP. Library runs with logs off, with the
// default logs, and with the default logs but no ledger alternate with bare
// runs in one pinpad process, so that load from elsewhere on the machine
// falls on all of them alike.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <thread>

#include "LibraryRun.h"
#include "support/BareClient.h"
#include "support/Install.h"
#include "support/Pinpad.h"
#include "support/SleepMeter.h"
#include "support/Stats.h"
#include "support/SyncMeter.h"

namespace {

using namespace bench;

constexpr int kWarmUpRounds = 3;
constexpr auto kSettle = std::chrono::milliseconds(3100);

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

// The syncs a durable payment needs, alone, in the installation's folder:
// the ledger's pending and completed records, the status byte "open" and
// later "closed", each synced, and the files the run keeps, each written to
// a temporary file, synced, renamed and the folder synced: with logs off the
// exchange file alone, with logs the result, cheque, output and exchange
// files.
constexpr int kStatusSyncs = 2;
constexpr int kResultFiles = 4;
constexpr int kSyncsLogsOff = kStatusSyncs + 2;
constexpr int kSyncsWithResults = kStatusSyncs + 2 * kResultFiles;
// The ledger's two commits: the pending record and the completed one. SQLite
// also syncs the ledger's folder once per connection, and a process keeps its
// connection from run to run, so only the first run of a process makes it
// (velrun, one run per process, makes it every time: 5 syncs with logs off).
constexpr int kLedgerSyncs = 2;
constexpr int kKinds = 4;

void SyncStatus(char state) {
    const int fd = open("sync-alone.stb", O_WRONLY | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0 || write(fd, &state, 1) != 1 || fdatasync(fd) != 0)
        throw std::runtime_error("status sync failed");
    close(fd);
}

void SyncReplace(const std::string& name) {
    const std::string temporary = "." + name + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0640);
    const std::string data(64, 'x');
    if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()) ||
        fsync(fd) != 0)
        throw std::runtime_error("file sync failed");
    close(fd);
    if (rename(temporary.c_str(), name.c_str()) != 0) throw std::runtime_error("rename failed");
    const int folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || fsync(folder) != 0) throw std::runtime_error("folder sync failed");
    close(folder);
}

// A commit of the ledger's write-ahead log, alone: four pages written in
// place into a file of its size and synced.
void SyncLedger() {
    constexpr off_t kPage = 4096, kPages = 32;
    static off_t next = 0;
    const int fd = open("sync-alone.wal", O_WRONLY | O_CREAT | O_CLOEXEC, 0640);
    if (fd < 0 || ftruncate(fd, kPage * kPages) != 0)
        throw std::runtime_error("ledger file failed");
    const std::string page(kPage, 'w');
    for (int i = 0; i < 4; ++i, next = (next + kPage) % (kPage * kPages))
        if (pwrite(fd, page.data(), page.size(), next) != kPage)
            throw std::runtime_error("ledger write failed");
    if (fdatasync(fd) != 0) throw std::runtime_error("ledger sync failed");
    close(fd);
}

void SyncsAlone(bool results) {
    SyncLedger();
    SyncStatus('\x01');
    if (results)
        for (const char* name : {"sync-rc.out", "sync-cheq.out", "sync-output.out"})
            SyncReplace(name);
    SyncReplace("sync-env.out");
    SyncLedger();
    SyncStatus('\0');
}

struct Series {
    std::vector<double> bare, logsOff, logsOn, noLedger;
    // The syncs alone: of the status, the ledger and the exchange file (logs
    // off keep no result files), and of those with the result files.
    std::vector<double> statusSyncs, allSyncs;
    // One status sync alone: what "one sync's worth" of time is.
    std::vector<double> oneSync;
    // The syncs each measured run of each kind made, counted.
    std::vector<double> syncs[kKinds];
    // The time each measured run of each kind spent in its syncs.
    std::vector<double> syncTime[kKinds];
};

// A limit per round: the bare exchange plus the syncs the run must make.
std::vector<double> Plus(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> sum(a.size());
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) sum[i] = a[i] + b[i];
    return sum;
}

// only: -1 for every kind of run, else the one kind to run (profiling).
Series Measure(int rounds, int only) {
    Install install;
    if (chdir(install.Dir().c_str()) != 0) throw std::runtime_error("chdir failed");
    const int total = rounds + kWarmUpRounds;
    const int kinds = only < 0 ? kKinds : 1;
    VirtualPinpad pinpad(install, RepeatScenario(LoadScenario("payment.vps"), kinds * total));
    install.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
    // A register's settings are written long before its payments: the
    // library reads a settings file changed in the last two seconds at every
    // run, and keeps an older one from run to run.
    std::this_thread::sleep_for(kSettle);
    const int port = std::stoi(pinpad.Line());
    Series series;
    std::vector<std::function<void()>> runs = {
        [port] { BarePayment(port); }, [] { LibraryPayment(true); }, [] { LibraryPayment(false); },
        [] { LibraryPayment(false, false); }};
    std::vector<double>* sinks[] = {&series.bare, &series.logsOff, &series.logsOn,
                                    &series.noLedger};
    ResetSleeps();
    for (int round = 0; round < total; ++round) {
        for (int k = 0; k < kinds; ++k) {
            const int which = only < 0 ? (round + k) % kKinds : only;  // rotate the order
            const long syncsBefore = SyncCount();
            const double syncMicrosBefore = SyncMicros();
            const double micros = Timed(runs[which]);
            if (round < kWarmUpRounds) continue;
            sinks[which]->push_back(micros);
            series.syncs[which].push_back(static_cast<double>(SyncCount() - syncsBefore));
            series.syncTime[which].push_back(SyncMicros() - syncMicrosBefore);
        }
        if (only >= 0 || round < kWarmUpRounds) continue;
        series.statusSyncs.push_back(Timed([] { SyncsAlone(false); }));
        series.allSyncs.push_back(Timed([] { SyncsAlone(true); }));
        series.oneSync.push_back(Timed([] { SyncStatus('\x01'); }));
    }
    pinpad.Finish();
    if (chdir("/") != 0) throw std::runtime_error("chdir failed");
    return series;
}

// Under a profiler: one kind of run only, its median alone.
int ProfileOne(int rounds, const std::string& kind) {
    const char* const names[] = {"bare", "off", "on", "noledger"};
    for (int which = 0; which < kKinds; ++which) {
        if (kind != names[which]) continue;
        const Series s = Measure(rounds, which);
        const std::vector<double>* runs[] = {&s.bare, &s.logsOff, &s.logsOn, &s.noLedger};
        PrintFigure("median of " + kind, Median(*runs[which]), "us");
        return 0;
    }
    std::fprintf(stderr, "usage: transaction_bench [ROUNDS [bare|off|on|noledger]]\n");
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
        std::printf(
            "Durable payment on the installation's disk folder (limit: the bare exchange "
            "plus the syncs alone)\n");
        PrintFigure("syncs per payment, logs off (counted, median)", Median(s.syncs[1]), "",
                    "(" + std::to_string(kSyncsLogsOff + kLedgerSyncs) +
                        " needed: the status open and closed, the ledger's 2 commits, the "
                        "exchange file with its folder)");
        PrintFigure("syncs per payment, default logs (counted, median)", Median(s.syncs[2]), "",
                    "(" + std::to_string(kSyncsWithResults + kLedgerSyncs) +
                        " needed: and 3 result files more, each with its folder)");
        PrintFigure("the syncs alone, logs off", Median(s.statusSyncs), "us");
        PrintFigure("the syncs alone, default logs", Median(s.allSyncs), "us");
        PrintFigure("time in the run's syncs, logs off", Median(s.syncTime[1]), "us");
        PrintFigure("time in the run's syncs, default logs", Median(s.syncTime[2]), "us");
        PrintRatio("durable, logs off / bare + syncs",
                   MedianRatio(s.logsOff, Plus(s.bare, s.statusSyncs)), 1.25);
        PrintRatio("durable, default logs / bare + syncs",
                   MedianRatio(s.logsOn, Plus(s.bare, s.allSyncs)), 1.6);
        const double noLedger = Median(s.noLedger);
        PrintFigure("library, default logs, no ledger (NO_LEDGER)", noLedger, "us");
        PrintFigure("the ledger's cost per payment (default logs)", on - noLedger, "us");
        PrintFigure("one status sync alone", Median(s.oneSync), "us");
        const double oneReplace = (Median(s.allSyncs) - Median(s.statusSyncs)) / (kResultFiles - 1);
        PrintFigure("one result file replaced with its syncs", oneReplace, "us");
        PrintRatio("the ledger's cost / one status sync", (on - noLedger) / Median(s.oneSync), 1.0);
        PrintRatio("the ledger's cost / one replace", (on - noLedger) / oneReplace, 1.0);
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
