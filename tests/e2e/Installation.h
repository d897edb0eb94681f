#ifndef VELPAD_TESTS_E2E_INSTALLATION_H
#define VELPAD_TESTS_E2E_INSTALLATION_H

#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

// A copy of the example installation in a fresh directory, and the virtual
// pinpad serving it: each StartPinpad plays one scenario and points
// cashreg.ini at the emulator's relay port (or pseudo-terminal).
class Installation {
public:
    explicit Installation(const std::vector<std::string>& settings = {});

    // Starts vpinpad with a scenario; false (with the reason in *error) when
    // it did not come up.
    bool StartPinpad(const std::string& scenario, const std::vector<std::string>& args, bool serial,
                     std::string* error);
    // Waits for the emulator to end its scenario.
    velrun_test::ChildResult FinishPinpad();
    // Ends the emulator at once (SIGTERM), whatever step it is at.
    velrun_test::ChildResult StopPinpad();

    // velrun running a payment of 15.00 (operation 1) in this installation.
    velrun_test::ChildOptions Payment() const;
    // velrun run to its end in this installation with these arguments.
    velrun_test::ChildResult Velrun(const std::vector<std::string>& args) const;

    const std::string& Path() const { return dir_.Path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }
    std::string Read(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    // Everything the engine's logs (Logs/*.log) hold.
    std::string Logs() const;
    // The emulator's transcript of the last scenario.
    std::string Transcript() const { return Read("transcript" + std::to_string(runs_)); }

private:
    void Append(const std::string& name, const std::string& text) const;

    TempDir dir_;
    int runs_ = 0;
    std::unique_ptr<velrun_test::ChildProcess> pinpad_;
};

// The path of a scenario: an absolute path as it is, else the end-to-end
// suite's own, else a ready one.
std::string ScenarioPath(const std::string& name);

#endif
