#ifndef VELPAD_TESTS_E2E_CASERUNNER_H
#define VELPAD_TESTS_E2E_CASERUNNER_H

#include <string>

#include "../ri/TempDir.h"
#include "CaseFile.h"

// Plays one case: a fresh installation directory, then each stage with the
// real vpinpad and the real velrun as separate processes. Failures are
// reported through GoogleTest with the pinpad's messages and transcript.
class CaseRunner {
public:
    explicit CaseRunner(const CaseFile& file);
    void Run();

private:
    void Install();
    void RunStage(const CaseStage& stage, int number);
    void CheckStage(const CaseStage& stage, const std::string& out, const std::string& err);
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

    const CaseFile& case_;
    TempDir dir_;
};

#endif
