// A session configured for the bank agent bridge, in a fresh directory that
// holds darir.ini (INTERFACE=BANKAGENT), cashreg.ini and an operation table:
// code 1 is a payment (type 1, index 1), 7 the close of day (type 2, index 1),
// 5 an operation of type 1 with index 2.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "api/velpad.h"
#include "support/TempDir.h"

class BankTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The agent's answer for the next run ("key=value" lines).
    void Script(const std::string& lines) { dir_.Write("agent.script", lines); }
    int Run(int operation) { return DARirRun(pos_, operation); }
    // The value of key as DARirGet returns it; "<none>" when it is empty.
    std::string Get(const char* key);
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

    TempDir dir_;
    DARir* pos_ = nullptr;

private:
    std::unique_ptr<WorkingDir> cwd_;
};
