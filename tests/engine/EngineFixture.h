#ifndef VELPAD_TESTS_ENGINE_ENGINEFIXTURE_H
#define VELPAD_TESTS_ENGINE_ENGINEFIXTURE_H

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "FakeTransport.h"
#include "config/Tags.h"
#include "engine/PPAD.h"
#include "support/TempDir.h"

// An engine over a fresh settings directory, its link replaced by a fake
// one. The engine is given the directory, so its lookup and every file of
// its runs start from there; the test's working directory is never changed.
// Write settings with Ini() before calling Engine() for the first time.
class EngineFixture : public ::testing::Test {
protected:
    // The settings directory is found by its cashreg.ini, so one is always there.
    EngineFixture() { Ini(""); }

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

    // The settings directory, and a name in it.
    const std::string& Dir() const { return dir_.Path(); }
    std::string Path(const std::string& name) const { return dir_ / name; }

    // The engine, built on first use over tags with a fake link attached,
    // its run begun (the pinpad locked, the result files prepared).
    PPAD& Engine() {
        if (!engine_) {
            engine_ = std::make_unique<PPAD>(&tags, std::set<std::string>{}, Dir());
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
    std::unique_ptr<PPAD> engine_;
};

#endif
