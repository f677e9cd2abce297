// The byte layout of log entries and the default descriptions.
#include "LogTestSupport.h"

#include <cctype>

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;

const std::string kRule = std::string(44, '-') + "\r\n";

// Whether text has the shape of pattern, where '9' stands for any digit.
bool HasShape(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

// Checks one whole entry: the rule, the time then date in the C locale, and the given rest.
void ExpectEntry(const std::string& entry, const std::string& rest) {
    ASSERT_EQ(entry.substr(0, kRule.size()), kRule);
    const size_t timeEnd = entry.find("\r\n", kRule.size());
    ASSERT_NE(timeEnd, std::string::npos);
    const std::string time = entry.substr(kRule.size(), timeEnd + 2 - kRule.size());
    EXPECT_TRUE(HasShape(time, "[Time]: 99:99:99,99/99/99\r\n")) << time;
    EXPECT_EQ(entry.substr(timeEnd + 2), rest);
}

using LogEntryLayout = LogDirectoryFixture;

// Two calls append two entries; line breaks inside texts become CR LF.
TEST_F(LogEntryLayout, EntriesAreByteExactAndAppended) {
    ASSERT_EQ(AppendEntry("Err.log", 2, "CBugSet::Open", "Syntax error"), std::nullopt);
    ASSERT_EQ(AppendEntry("Err.log", 3, "S", "first\nsecond\r\nthird"), std::nullopt);
    const std::string text = ReadFile(LogPath());
    const size_t second = text.find(kRule, 1);
    ASSERT_NE(second, std::string::npos);
    ExpectEntry(text.substr(0, second),
                "[ErrCode]: 2\r\n[Source]: CBugSet::Open\r\n[Description]: Syntax error\r\n\r\n");
    ExpectEntry(text.substr(second),
                "[ErrCode]: 3\r\n[Source]: S\r\n[Description]: first\r\nsecond\r\nthird\r\n\r\n");
}

TEST_F(LogEntryLayout, EmptyDescriptionTakesTheCodesDefault) {
    const struct {
        int32_t code;
        const char* description;
    } cases[] = {{0, "Unknown Error"}, {1, "Exceed Array's bound"}, {5, ""}};
    for (const auto& c : cases) {
        const std::string file = std::to_string(c.code) + ".log";
        ASSERT_EQ(AppendEntry(file, c.code, "S", ""), std::nullopt);
        ExpectEntry(ReadFile(LogPath(file)),
                    "[ErrCode]: " + std::to_string(c.code) +
                        "\r\n[Source]: S\r\n[Description]: " + c.description + "\r\n\r\n");
    }
}

} // namespace
} // namespace velmora::log
