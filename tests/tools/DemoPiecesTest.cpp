// The small pieces the demo is made of: its command line, its dates and its rich text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DemoDate.h"
#include "DemoOptions.h"
#include "DemoRandom.h"
#include "RtfWriter.h"

namespace velmora::demo {
namespace {

std::string Parse(std::vector<std::string> words, DemoOptions* options) {
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return ParseDemoOptions(static_cast<int>(argv.size()), argv.data(), options);
}

TEST(DemoOptions, ReadsSizeAndSeedInEitherSpelling) {
    DemoOptions options;
    EXPECT_EQ(Parse({"team.mdb"}, &options), "");
    EXPECT_EQ(options.file, "team.mdb");
    EXPECT_EQ(options.bugs, 200);
    EXPECT_EQ(options.seed, 1u);
    EXPECT_EQ(Parse({"--bugs=0", "--seed", "18446744073709551615", "team.mdb"}, &options), "");
    EXPECT_EQ(options.bugs, 0);
    EXPECT_EQ(options.seed, 18446744073709551615u);
    EXPECT_EQ(Parse({"team.mdb", "--bugs", "100000"}, &options), "");
    EXPECT_EQ(options.bugs, 100000);
    EXPECT_EQ(Parse({"--help", "--bogus"}, &options), "");
    EXPECT_TRUE(options.help);
}

TEST(DemoOptions, RefusesWhatIsNotAWholeNumberInRange) {
    DemoOptions options;
    for (const auto& words : std::vector<std::vector<std::string>>{{"f", "--bugs", "-3"},
                                                                   {"f", "--bugs", "+3"},
                                                                   {"f", "--bugs", ""},
                                                                   {"f", "--bugs", "2147483648"},
                                                                   {"f", "--bugs=1e3"},
                                                                   {"f", "--seed", " 1"},
                                                                   {"f", "--seed"},
                                                                   {"f", "--bug", "3"},
                                                                   {"f", "g"},
                                                                   {}}) {
        EXPECT_NE(Parse(words, &options), "") << (words.empty() ? "(none)" : words.back());
    }
}

TEST(DemoDate, GoesToTheCalendarAndBack) {
    for (double day = OleDate(1990, 1, 1); day < OleDate(2040, 1, 1); day += 37.25) {
        const CivilTime time = ToCivil(day);
        EXPECT_EQ(OleDate(time.year, time.month, time.day, time.hour, time.minute), day);
    }
    const CivilTime leap = ToCivil(OleDate(2024, 2, 29, 23, 59));
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(leap.hour, 23);
    EXPECT_EQ(leap.minute, 59);
}

TEST(DemoRandom, IsTheSameSequenceEverywhere) {
    // SplitMix64's published first output for seed 0.
    DemoRandom random(0);
    EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFULL);
    for (int i = 0; i < 1000; ++i) {
        const int value = random.Between(3, 5);
        EXPECT_GE(value, 3);
        EXPECT_LE(value, 5);
    }
    EXPECT_EQ(random.Weighted({0, 5, 0}), 1u);
}

TEST(RtfWriter, WritesParagraphsRunsAndBullets) {
    RtfWriter writer;
    writer.Bold("Cause: ").Text("late {lock}").EndParagraph().Bullet("one").Italic("tail");
    const std::string document = writer.Document();
    EXPECT_EQ(document.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(document.find("\\b Cause: \\b0 late \\{lock\\}\\par"), std::string::npos);
    EXPECT_NE(document.find("\\pntxtb\\'B7}}\\fi-360\\li360 one\\par"), std::string::npos);
    EXPECT_NE(document.find("\\i tail\\i0 \\par"), std::string::npos);
    int depth = 0;
    for (size_t i = 0; i < document.size(); ++i) {
        if (document[i] == '\\') {
            ++i; // an escaped character or the first letter of a control word
            continue;
        }
        depth += document[i] == '{' ? 1 : document[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(document.back(), '}');
}

} // namespace
} // namespace velmora::demo
