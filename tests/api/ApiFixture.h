// A session of the exported interface, created in a fresh temporary working
// directory so that no settings file is found and logs stay out of the tree.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "api/velpad.h"

namespace api_test {

class ApiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The value of `key` as DARirGet returns it, asked for with the size the
    // library reported; "<size N>" or "<get N>" when a call fails.
    std::string get(const char* key);

    DARir* pos_ = nullptr;

private:
    std::string root_;
    std::string previousDir_;
};

}  // namespace api_test
