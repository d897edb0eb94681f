#ifndef VELPAD_TESTS_E2E_CASERUNNER_H
#define VELPAD_TESTS_E2E_CASERUNNER_H

#include <string>

#include "CaseFile.h"
#include "Installation.h"

// Plays one case: a fresh installation, then each stage with the real
// vpinpad and the real velrun as separate processes. Failures are reported
// through GoogleTest with the pinpad's messages and transcript.
class CaseRunner {
public:
    explicit CaseRunner(const CaseFile& file);
    void Run();

private:
    void RunStage(const CaseStage& stage);
    void CheckStage(const CaseStage& stage, const std::string& out, const std::string& err);

    const CaseFile& case_;
    Installation install_;
};

#endif
