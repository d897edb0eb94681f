// Runs the real vpinpad program against a tiny host of the tests' own.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "MiniHost.h"
#include "VpinpadProcess.h"

namespace {

const std::string kEsc = "\x1b";

// Answers the pinpad's requests the way the host does for the commands the ready
// scenarios use, relaying the bank channel to the fake bank.
void ServeAsHost(MiniHost& host) {
    MiniHost bank;
    for (std::string request = host.ReadFrame(); request != "<none>"; request = host.ReadFrame()) {
        std::string reply = "OK";
        if (request == "DEVICEOPEN:SOCKET") {
            reply = "OK:2";
        } else if (request.rfind("CONNECT:2:", 0) == 0) {
            bank.ConnectTcp(std::stoi(request.substr(request.rfind(':') + 1)));
        } else if (request.rfind("WRITE:2:", 0) == 0) {
            bank.SendRaw(request.substr(8));
        } else if (request.rfind("READ:2:", 0) == 0) {
            reply = "2:" + bank.ReadRaw(1024, 300);
        }
        host.SendFrame(reply);
        if (request == "ENDTR") return;
    }
}

std::string UniqueDevice(const char* tag) {
    return "/dev/ttyVPAD" + std::string(tag) + std::to_string(getpid());
}

}  // namespace

TEST(Vpinpad, PlaysTheApprovedPaymentThroughTheRelayAndTheFakeBank) {
    VpinpadProcess pad;
    std::string port = pad.Start({"--scenario", VPINPAD_SCENARIOS "/approved_payment.vps"});
    ASSERT_FALSE(port.empty()) << pad.Errors();
    MiniHost host;
    ASSERT_TRUE(host.ConnectTcp(std::stoi(port)));
    host.SendRaw("TERM01");
    EXPECT_EQ(host.ReadRaw(1), "\x05");
    host.SendFrame("1" + kEsc + "1" + kEsc + "643" + kEsc + "15.00" + kEsc + kEsc);
    ServeAsHost(host);
    EXPECT_EQ(pad.Wait(30), 0) << pad.Errors();
    std::string transcript = pad.ReadFile("transcript");
    EXPECT_NE(transcript.find("host -> relay  identifier (6 bytes)"), std::string::npos);
    EXPECT_NE(transcript.find("host -> bank  data"), std::string::npos);
    EXPECT_NE(transcript.find("\"2:\\x00\\x0FAPPROVED A1B2C3\""), std::string::npos);
    EXPECT_NE(transcript.find("scenario passed"), std::string::npos);
}

TEST(Vpinpad, PlaysARefusingRelay) {
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "expect-relay-id TERM01\nexpect-close\n");
    std::string port = pad.Start({"--scenario", pad.Path("s.vps"), "--relay-answer", "0x06"});
    ASSERT_FALSE(port.empty()) << pad.Errors();
    MiniHost host;
    ASSERT_TRUE(host.ConnectTcp(std::stoi(port)));
    host.SendRaw("TERM01");
    EXPECT_EQ(host.ReadRaw(1), "\x06");
    host.Close();
    EXPECT_EQ(pad.Wait(10), 0) << pad.Errors();
}

TEST(Vpinpad, FailedExpectationNamesTheStepAndBothSides) {
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "send PING:\n\nexpect OK\n");
    std::string port = pad.Start({"--scenario", pad.Path("s.vps")});
    MiniHost host;
    ASSERT_TRUE(host.ConnectTcp(std::stoi(port)));
    EXPECT_EQ(host.ReadFrame(), "PING:");
    host.SendFrame("ER");
    EXPECT_EQ(pad.Wait(10), 1);
    EXPECT_NE(
        pad.Errors().find("step 2 of 2 (line 3: expect OK) failed: expected \"OK\", got \"ER\""),
        std::string::npos)
        << pad.Errors();
}

TEST(Vpinpad, StopsByItselfNamingTheStepItWaitedOn) {
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "expect-start 1 1 643 15.00 \"\" \"\"\n");
    std::string port = pad.Start({"--scenario", pad.Path("s.vps"), "--timeout", "1"});
    MiniHost host;
    ASSERT_TRUE(host.ConnectTcp(std::stoi(port)));
    host.SendRaw(
        std::string("\x01\x00\x09"
                    "1",
                    4));
    EXPECT_EQ(pad.Wait(10), 3);
    EXPECT_NE(pad.Errors().find("(line 1: expect-start"), std::string::npos) << pad.Errors();
    EXPECT_NE(pad.Errors().find("timed out after 1 s"), std::string::npos);
    EXPECT_NE(pad.Errors().find("announcing 9 payload bytes, 1 arrived"), std::string::npos)
        << "no word on the cut frame";
}

TEST(Vpinpad, DeliversDamagedFramesByteForByte) {
    VpinpadProcess pad;
    pad.WriteFile("s.vps",
                  "raw AB\ncut PRINT:xyz 2\nbad-first-byte 0x02 X\nsplit PRINT:hello 3 20\n"
                  "close\naccept\nsend again\n");
    std::string port = pad.Start({"--scenario", pad.Path("s.vps")});
    MiniHost host;
    ASSERT_TRUE(host.ConnectTcp(std::stoi(port)));
    std::string expected = std::string("AB\x01\x00\x09PR\x02\x00\x01X\x01\x00\x0bPRINT:hello", 25);
    EXPECT_EQ(host.ReadRaw(1000, 2000), expected);
    MiniHost second;
    ASSERT_TRUE(second.ConnectTcp(std::stoi(port)));
    EXPECT_EQ(second.ReadFrame(), "again");
    EXPECT_EQ(pad.Wait(10), 0) << pad.Errors();
}

TEST(Vpinpad, RefusesBadScenariosBeforeListening) {
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "send ok\nsend \"unterminated\n");
    EXPECT_EQ(pad.Start({"--scenario", pad.Path("s.vps")}), "");
    EXPECT_EQ(pad.Wait(10), 2);
    EXPECT_NE(pad.Errors().find("line 2: unterminated double quote"), std::string::npos);
    VpinpadProcess remote;
    remote.WriteFile("s.vps", "send ok\n");
    EXPECT_EQ(remote.Start({"--scenario", remote.Path("s.vps"), "--tcp", "0.0.0.0:0"}), "");
    EXPECT_EQ(remote.Wait(10), 2);
    EXPECT_NE(remote.Errors().find("not a loopback address"), std::string::npos);
}

TEST(Vpinpad, PlaysASerialLineThroughAPseudoTerminal) {
    if (geteuid() != 0) GTEST_SKIP() << "a link under /dev needs root";
    std::string device = UniqueDevice("s");
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "expect-start 2 2 \"\" \"\" \"\" \"\"\nsend BEGINTR:\nexpect OK\n");
    ASSERT_EQ(pad.Start({"--scenario", pad.Path("s.vps"), "--pty", device}), device);
    MiniHost host;
    ASSERT_TRUE(host.OpenSerial(device));
    host.SendFrame("2" + kEsc + "2" + kEsc + kEsc + kEsc + kEsc);
    EXPECT_EQ(host.ReadFrame(), "BEGINTR:");
    host.SendFrame("OK");
    EXPECT_EQ(pad.Wait(10), 0) << pad.Errors();
    EXPECT_FALSE(std::filesystem::is_symlink(device));
}

TEST(Vpinpad, SignalEndsTheRunAndRemovesTheSerialLink) {
    if (geteuid() != 0) GTEST_SKIP() << "a link under /dev needs root";
    std::string device = UniqueDevice("k");
    VpinpadProcess pad;
    pad.WriteFile("s.vps", "pause 60000\n");
    ASSERT_EQ(pad.Start({"--scenario", pad.Path("s.vps"), "--pty", device}), device);
    EXPECT_TRUE(std::filesystem::is_symlink(device));
    pad.Signal(SIGTERM);
    EXPECT_EQ(pad.Wait(10), 4);
    EXPECT_FALSE(std::filesystem::is_symlink(device));
}
