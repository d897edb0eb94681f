#ifndef VELPAD_TESTS_ENGINE_ENGINEFIXTURE_H
#define VELPAD_TESTS_ENGINE_ENGINEFIXTURE_H

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FakeTransport.h"
#include "config/Tags.h"
#include "engine/PPAD.h"
#include "support/TempDir.h"

// An engine in a fresh settings directory, its link replaced by a fake one.
// Write settings with Ini() before calling Engine() for the first time.
class EngineFixture : public ::testing::Test {
protected:
    // The settings directory is found by its cashreg.ini, so one is always there.
    EngineFixture() : cwd_(dir_.Path()) { Ini(""); }

    // Appends lines to cashreg.ini in the settings directory.
    void Ini(const std::string& lines) { Write("cashreg.ini", lines, std::ios::app); }

    void Write(const std::string& name, const std::string& data,
               std::ios::openmode mode = std::ios::trunc) {
        std::ofstream(dir_ / name, std::ios::binary | mode) << data;
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    bool Exists(const std::string& name) const { return std::ifstream(dir_ / name).good(); }

    // The engine, built on first use over tags with a fake link attached,
    // its run begun (the pinpad locked, the result files prepared).
    PPAD& Engine() {
        if (!engine_) {
            engine_ = std::make_unique<PPAD>(&tags);
            engine_->BeginRun();
            link = new FakeTransport;
            engine_->AttachTransport(link);
        }
        return *engine_;
    }

    // The payloads the engine has sent so far.
    std::vector<std::string> Sent() const { return link->SentPayloads(); }

    Tags tags;
    FakeTransport* link = nullptr;

private:
    TempDir dir_;
    WorkingDir cwd_;
    std::unique_ptr<PPAD> engine_;
};

#endif
