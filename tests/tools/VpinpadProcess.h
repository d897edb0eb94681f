#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs the vpinpad program in a fresh temporary directory, waits for its port file and
// collects its exit status and standard error. The process is killed (by its id) and the
// directory removed when the object goes away.
class VpinpadProcess {
public:
    VpinpadProcess();
    ~VpinpadProcess();

    std::string Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ReadFile(const std::string& name) const;

    // Starts vpinpad with "--port-file port --transcript transcript" and the extra arguments,
    // then waits up to 10 s for the port file; returns its content ("" when it never came).
    std::string Start(const std::vector<std::string>& args);
    // Waits up to `seconds` for the exit; returns the exit status, or -1 on a time-out.
    int Wait(int seconds);
    void Signal(int signal) const;
    std::string Errors() const { return ReadFile("stderr"); }

private:
    std::string dir_;
    pid_t pid_ = -1;
    int exitStatus_ = -1;
};
