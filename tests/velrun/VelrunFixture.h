// Runs the built velrun in a fresh temporary directory, optionally with the
// recording shim preloaded in front of libvelpad.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace velrun_test {

class VelrunTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Options for velrun with `args`, the shim preloaded and `env` added.
    ChildOptions withShim(std::vector<std::string> args, std::vector<std::string> env = {}) const;
    // Options for velrun with `args` against the real library alone.
    ChildOptions plain(std::vector<std::string> args) const;

    // Lines the shim recorded, in call order.
    std::vector<std::string> calls() const;
    // The recorded lines that start with `prefix`.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;

    std::string root_;
    std::string workDir_;
    std::string log_;
};

// The eight lines of a completed run, in print order.
std::string resultLines(const std::string& authorizationCode, const std::string& cardNumber,
                        const std::string& cardType, int code, const std::string& message,
                        const std::string& rrn, const std::string& terminalId);

size_t countOf(const std::string& text, const std::string& part);

}  // namespace velrun_test
