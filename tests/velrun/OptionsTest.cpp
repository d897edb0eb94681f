// Command line of velrun: option forms, repetition, order and the operation code.
#include <gtest/gtest.h>

#include "VelrunFixture.h"

namespace velrun_test {
namespace {

using Strings = std::vector<std::string>;

class VelrunOptions : public VelrunTest {
protected:
    // Runs velrun with the shim answering every run with 3.
    ChildResult runArgs(Strings args) {
        return runChild(withShim(std::move(args), {"VELRUN_SHIM_RUN=result:3"}));
    }
};

TEST_F(VelrunOptions, FirstOccurrenceWinsAndTagsAreSetInKeyOrder) {
    const auto r = runArgs({"--command", "1", "--currency", "643", "--amount", "100", "--rrn",
                            "555", "--amount", "200", "--command", "9"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(callsStartingWith("set "),
              (Strings{"set amount=100 -1", "set currency=643 -1", "set rrn=555 -1"}));
    EXPECT_EQ(callsStartingWith("run"), Strings{"run 1"});
    EXPECT_EQ(callsStartingWith("delete"), Strings{"delete"});
}

TEST_F(VelrunOptions, ShortSingleDashEqualsAndAbbreviatedForms) {
    const auto r = runArgs({"-c", "4", "-a", "1", "-t", "T1", "-r", "R1", "-i", "I1", "-n", "7",
                            "-v", "810", "stray", "--term=T2"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(callsStartingWith("set "),
              (Strings{"set amount=1 -1", "set currency=810 -1", "set receipt_number=7 -1",
                       "set rrn=R1 -1", "set terminal_id=T1 -1", "set transaction_id=I1 -1"}));
    EXPECT_EQ(callsStartingWith("run"), Strings{"run 4"});

    const auto longOnly = runArgs({"-command=12", "-transaction_id", "X", "--curr", "933"});
    EXPECT_EQ(longOnly.exitStatus, 0) << longOnly.err;
    EXPECT_EQ(callsStartingWith("run").back(), "run 12");
    EXPECT_EQ(callsStartingWith("set ").back(), "set transaction_id=X -1");
}

TEST_F(VelrunOptions, UnknownOptionOrMissingArgumentIsRefusedBeforeAnySession) {
    for (const Strings& args :
         {Strings{"--command", "1", "--bogus", "2"}, Strings{"--command", "1", "--amount"},
          Strings{"-x", "1"}, Strings{"--c", "1"}}) {
        const auto r = runArgs(args);
        EXPECT_EQ(r.exitStatus, 1) << args.back();
        EXPECT_NE(r.err.find("Некорректный параметр\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(calls().empty());
}

TEST_F(VelrunOptions, MissingNonNumericOrOutOfRangeCommandIsRefused) {
    for (const Strings& args :
         {Strings{"--amount", "100"}, Strings{"--command", "abc"}, Strings{"--command", ""},
          Strings{"--command", "-"}, Strings{"--command", "2147483648"},
          Strings{"--command", "-2147483649"}, Strings{"--command", "99999999999999999999"}}) {
        const auto r = runArgs(args);
        EXPECT_EQ(r.exitStatus, 1) << args.back();
        EXPECT_EQ(r.err, "stoi\n") << args.back();
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(calls().empty());
}

TEST_F(VelrunOptions, CommandIsReadUpToTheFirstNonDigit) {
    for (const Strings& args :
         {Strings{"--command", "7abc"}, Strings{"--command", "  +8"},
          Strings{"--command", "-2147483648"}, Strings{"--command", "2147483647"}}) {
        EXPECT_EQ(runArgs(args).exitStatus, 0) << args.back();
    }
    EXPECT_EQ(callsStartingWith("run"),
              (Strings{"run 7", "run 8", "run -2147483648", "run 2147483647"}));
    EXPECT_TRUE(callsStartingWith("set ").empty());
}

}  // namespace
}  // namespace velrun_test
