// `velmora demo` refusing what it must not do: an existing file, bad arguments, an engine it
// cannot reach.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

namespace velmora::test {
namespace {

class DemoCommandLine : public ToolTest {};

TEST_F(DemoCommandLine, RefusesAnExistingFileAndLeavesItUntouched) {
    const std::string file = dir_.File("precious.mdb");
    std::ofstream(file) << "a team's database";
    const Outcome outcome = Run("demo '" + file + "' --bugs 5");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("already exists; it is not overwritten"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(ReadFile(file), "a team's database");
}

TEST_F(DemoCommandLine, RejectsBadArgumentsWithItsUsage) {
    const std::string file = dir_.File("never.mdb");
    for (const std::string& arguments : std::vector<std::string>{
             "--bugs -3", "--bugs x", "--bugs 12x", "--bugs", "--bugs 100001", "--seed -1",
             "--seed 18446744073709551616", "--frobnicate", "-q", "'" + file + "2'"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = Run("demo '" + file + "' " + arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.errors.find("Usage: velmora demo FILE"), std::string::npos)
            << outcome.errors;
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    EXPECT_EQ(Run("demo").status, 2);
    EXPECT_NE(Run("demo --bugs 1").errors.find("no FILE given"), std::string::npos);
}

TEST_F(DemoCommandLine, ExplainsItselfAndThePasswords) {
    Outcome outcome = Run("demo --help");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.output.find("mhart-demo"), std::string::npos) << outcome.output;
    outcome = Run("--help");
    EXPECT_NE(outcome.output.find("demo FILE [--bugs N] [--seed S]"), std::string::npos);
}

TEST_F(DemoCommandLine, RemovesTheDatabaseWhenTheEngineCannotFillIt) {
    ScopedEnv emptyRegistry("VELMORA_REGISTRY", dir_.File("nothing-registered"));
    const std::string file = dir_.File("half.mdb");
    const Outcome outcome = Run("demo '" + file + "' --bugs 5");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("cannot create Velmora.ExeContext"), std::string::npos)
        << outcome.errors;
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(outcome.output, "");
}

} // namespace
} // namespace velmora::test
