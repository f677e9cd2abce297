// Options are taken exactly as documented; anything else is refused rather than guessed at.
#include <gtest/gtest.h>

#include "CommandLine.h"

namespace velmora::stress {
namespace {

CommandLine Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "program");
    return CommandLine(static_cast<int>(arguments.size()), arguments.data(),
                       {"clients", "seed", "dir"}, {"keep"});
}

TEST(CommandLineTest, ValuesFlagsAndFallbacks) {
    const CommandLine options = Parse({"--clients", "3", "--keep", "--dir", "/tmp/x y"});
    EXPECT_EQ(options.Number("clients", 4, 1, 64), 3);
    EXPECT_EQ(options.Number("seed", 9, 0, 100), 9);
    EXPECT_EQ(options.Text("dir", ""), "/tmp/x y");
    EXPECT_TRUE(options.Has("keep"));
    EXPECT_FALSE(options.Has("seed"));
}

TEST(CommandLineTest, UnknownRepeatedOrIncompleteOptionsAreRefused) {
    EXPECT_THROW(Parse({"--client", "3"}), std::invalid_argument);
    EXPECT_THROW(Parse({"3"}), std::invalid_argument);
    EXPECT_THROW(Parse({"--keep", "--keep"}), std::invalid_argument);
    EXPECT_THROW(Parse({"--seed", "1", "--seed", "2"}), std::invalid_argument);
    EXPECT_THROW(Parse({"--dir"}), std::invalid_argument);
}

TEST(CommandLineTest, NumbersMustBeWholeAndInRange) {
    for (const char* text : {"", "x", "3x", "1.5", "0", "65", "-2", "99999999999999999999"}) {
        const CommandLine options = Parse({"--clients", text});
        EXPECT_THROW(options.Number("clients", 4, 1, 64), std::invalid_argument) << text;
    }
}

} // namespace
} // namespace velmora::stress
