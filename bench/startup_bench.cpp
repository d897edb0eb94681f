// Start-up: velrun as a whole process, from exec to exit, for a payment
// against the virtual pinpad; and the time from exec to the start message,
// seen by a listener of the benchmark that takes the start message and ends
// the transaction at once. The floor is an empty C++ program's exec-to-exit
// plus the bare exchange of the payment's frames with the same pinpad.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/BareClient.h"
#include "support/Child.h"
#include "support/Install.h"
#include "support/Paths.h"
#include "support/Pinpad.h"
#include "support/Stats.h"

namespace {

using namespace bench;

constexpr auto kRunLimit = std::chrono::seconds(30);
constexpr int kWarmUp = 2;

const std::vector<std::string> kPayment = {kVelrun, "--command",  "1",  "--amount",
                                           "1500",  "--currency", "643"};

// Times one process from fork to exit; throws unless it exits with 0.
double TimedProcess(const std::vector<std::string>& argv, const std::string& dir) {
    const Clock::time_point start = Clock::now();
    const int status = WaitExit(Spawn(argv, dir), kRunLimit);
    if (status != 0) throw std::runtime_error(argv[0] + " exited with " + std::to_string(status));
    return Micros(Clock::now() - start);
}

double TimedBare(int port) {
    const Clock::time_point start = Clock::now();
    const int fd = ConnectLoopback(port);
    FrameLink link(fd);
    BareTransaction(link, PaymentStart());
    close(fd);
    return Micros(Clock::now() - start);
}

// A loopback listener on a free port that plays a pinpad ending every
// transaction right after the start message.
class StartProbe {
public:
    StartProbe();
    ~StartProbe() { close(fd_); }
    int Port() const { return port_; }
    // Starts velrun in dir; returns exec-to-start-message and exec-to-exit.
    std::pair<double, double> Run(const std::string& dir) const;

private:
    int fd_ = -1;
    int port_ = 0;
};

StartProbe::StartProbe() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd_, 4) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
}

std::pair<double, double> StartProbe::Run(const std::string& dir) const {
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(kPayment, dir);
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) throw std::runtime_error("velrun never connected");
    const int line = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    FrameLink link(line);
    link.Receive();
    const double toStart = Micros(Clock::now() - start);
    link.Send("ENDTR");
    link.Receive();
    close(line);
    if (WaitExit(pid, kRunLimit) != 0) throw std::runtime_error("velrun failed against the probe");
    return {toStart, Micros(Clock::now() - start)};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    try {
        Install payment, probed;
        VirtualPinpad pinpad(payment,
                             RepeatScenario(LoadScenario("payment.vps"), 2 * (runs + kWarmUp)));
        payment.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + pinpad.Line());
        const StartProbe probe;
        probed.AddSettings("PORT=ETH\nADDR_IP=127.0.0.1\nPORT_IP=" + std::to_string(probe.Port()));
        std::vector<double> whole, bare, toStart, probeWhole, floor;
        for (int i = 0; i < runs + kWarmUp; ++i) {
            const double w = TimedProcess(kPayment, payment.Dir());
            const double b = TimedBare(std::stoi(pinpad.Line()));
            const auto [s, p] = probe.Run(probed.Dir());
            const double f = TimedProcess({kExecFloor}, probed.Dir());
            if (i < kWarmUp) continue;
            whole.push_back(w), bare.push_back(b), toStart.push_back(s);
            probeWhole.push_back(p), floor.push_back(f);
        }
        pinpad.Finish();
        const double limit = Median(floor) + Median(bare);
        std::printf(
            "Start-up of velrun, default logs (%d runs each; times: medians, ratio with a goal: "
            "median of each round's ratio)\n",
            runs);
        PrintFigure("velrun payment, exec to exit", Median(whole), "us");
        PrintFigure("exec to start message", Median(toStart), "us");
        PrintRatio("share of the payment before the start message",
                   Median(toStart) / Median(whole));
        PrintFigure("velrun ended right after the start message", Median(probeWhole), "us");
        PrintFigure("empty C++ program, exec to exit", Median(floor), "us");
        PrintFigure("limit: empty program + bare exchange", limit, "us");
        PrintRatio("velrun payment / limit", Median(whole) / limit);
        PrintRatio("exec to start message / empty program", MedianRatio(toStart, floor), 1.25);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
