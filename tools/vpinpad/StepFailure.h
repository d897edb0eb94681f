#pragma once

#include <stdexcept>
#include <string>

namespace vpinpad {

// Raised inside the runner when a step cannot be completed; carries the exit code.
class StepFailure : public std::runtime_error {
public:
    StepFailure(int exitCode, const std::string& text)
        : std::runtime_error(text), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

}  // namespace vpinpad
