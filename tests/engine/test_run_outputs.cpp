// The run's outputs diverted to a cancellation's own files and given back.
#include <gtest/gtest.h>

#include "engine/RunOutputs.h"
#include "ri/File.h"
#include "support/TempDir.h"

namespace {

TEST(RunOutputsTest, ADiversionWritesElsewhereAndTheRunsFilesStartAnewAfterIt) {
    TempDir dir;
    RunOutputs outputs;
    outputs.result.Open(dir / "rc.out");
    outputs.cheque.Open(dir / "cheq.out");
    outputs.result.Write("999", false);
    outputs.printed = true;

    const RunOutputs::Mark own = outputs.Divert(dir / "cancel_rc.out", dir / "cancel_ch.out");
    EXPECT_FALSE(outputs.printed);
    outputs.result.Write("000", false);
    outputs.cheque.Write("SLIP", false);
    outputs.printed = true;
    outputs.Restore(own);

    EXPECT_TRUE(outputs.printed);
    EXPECT_EQ(outputs.result.GetPath(), dir / "rc.out");
    EXPECT_EQ(outputs.cheque.GetPath(), dir / "cheq.out");
    outputs.result.Close();
    outputs.cheque.Close();
    EXPECT_EQ(ri::File::ReadFile(dir / "cancel_rc.out"), "000\n");
    EXPECT_EQ(ri::File::ReadFile(dir / "cancel_ch.out"), "SLIP\n");
    EXPECT_EQ(ri::File::ReadFile(dir / "rc.out"), "");
}

TEST(RunOutputsTest, WithoutFilesOfItsOwnACancellationWritesIntoTheRunsFiles) {
    TempDir dir;
    RunOutputs outputs;
    outputs.result.Open(dir / "rc.out");
    outputs.printed = true;
    const RunOutputs::Mark own = outputs.Divert("", "");
    EXPECT_FALSE(outputs.printed);
    outputs.result.Write("000", false);
    outputs.Restore(own);
    EXPECT_TRUE(outputs.printed);
    EXPECT_TRUE(outputs.result.IsOpen());
    outputs.result.Close();
    EXPECT_EQ(ri::File::ReadFile(dir / "rc.out"), "000\n");
}

}  // namespace
