#include "CaseRunner.h"

#include <gtest/gtest.h>
#include <unistd.h>

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

CaseRunner::CaseRunner(const CaseFile& file) : case_(file), install_(file.settings) {
    for (const auto& [name, bytes] : case_.files) install_.Write(name, bytes);
}

void CaseRunner::Run() {
    for (size_t i = 0; i < case_.stages.size(); ++i) {
        SCOPED_TRACE("stage " + std::to_string(i + 1) + " (" + case_.stages[i].scenario + ")");
        RunStage(case_.stages[i]);
    }
}

void CaseRunner::RunStage(const CaseStage& stage) {
    std::string error;
    std::vector<std::string> pinpadArgs = stage.pinpadArgs;
    for (const std::string& var : stage.vars) pinpadArgs.insert(pinpadArgs.end(), {"--var", var});
    ASSERT_TRUE(install_.StartPinpad(stage.scenario, pinpadArgs, case_.serial, &error)) << error;
    ChildOptions velrun;
    velrun.program = VELRUN_PATH;
    velrun.args = stage.args;
    velrun.workDir = install_.Path();
    const ChildResult run = velrun_test::runChild(velrun);
    const ChildResult played = install_.FinishPinpad();
    EXPECT_TRUE(run.exited && run.exitStatus == 0) << "velrun: " << run.err;
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << "vpinpad: " << played.err << "\n"
                                                         << install_.Transcript();
    CheckStage(stage, run.out, run.err);
}

void CaseRunner::CheckStage(const CaseStage& stage, const std::string& out,
                            const std::string& err) {
    for (const std::string& line : stage.stdoutLines)
        EXPECT_NE(("\n" + out).find("\n" + line + "\n"), std::string::npos)
            << "missing line \"" << line << "\" in:\n"
            << out;
    for (const std::string& text : stage.stderrTexts)
        EXPECT_NE(err.find(text), std::string::npos) << "missing \"" << text << "\" in:\n" << err;
    for (const auto& [name, bytes] : stage.files)
        EXPECT_EQ(install_.Read(name), bytes) << "file " << name;
    for (const auto& [name, bytes] : stage.fileParts)
        EXPECT_NE(install_.Read(name).find(bytes), std::string::npos) << "file " << name << ":\n"
                                                                      << install_.Read(name);
    const std::string logs = install_.Logs();
    for (const std::string& text : stage.logParts)
        EXPECT_NE(logs.find(text), std::string::npos) << "missing in the engine's log: " << text;
    for (const std::string& name : stage.absentFiles)
        EXPECT_NE(access((install_ / name).c_str(), F_OK), 0) << "file " << name << " exists";
}
