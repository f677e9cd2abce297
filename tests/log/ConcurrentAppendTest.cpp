// Several processes logging to one file at once: every entry arrives whole.
#include "LogTestSupport.h"

#include <map>
#include <regex>
#include <sys/wait.h>
#include <vector>

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;

using ConcurrentAppend = LogDirectoryFixture;

TEST_F(ConcurrentAppend, TwoProcessesLoseNoEntryAndNeverInterleave) {
    constexpr int kProcesses = 2;
    constexpr int kEntriesEach = 300;
    // A long description makes a torn or interleaved write easy to see.
    const std::string padding(2000, 'x');

    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool ok = true;
            for (int i = 0; i < kEntriesEach; ++i)
                ok = !AppendEntry("Err.log", p, "Writer" + std::to_string(p),
                                  std::to_string(i) + ":" + padding)
                          .has_value() &&
                     ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    const std::string log = ReadFile(LogPath());
    const std::regex entry(
        std::string(44, '-') +
        "\r\n\\[Time\\]: [^\r\n]+\r\n\\[ErrCode\\]: (\\d)\r\n"
        "\\[Source\\]: Writer(\\d)\r\n\\[Description\\]: (\\d+):x{2000}\r\n\r\n");
    std::map<int, std::vector<int>> seen; // writer -> entry numbers in file order
    size_t pos = 0;
    std::smatch match;
    while (pos < log.size()) {
        ASSERT_TRUE(std::regex_search(log.cbegin() + static_cast<std::ptrdiff_t>(pos), log.cend(),
                                      match, entry, std::regex_constants::match_continuous))
            << "malformed entry at byte " << pos;
        ASSERT_EQ(match[1].str(), match[2].str());
        seen[std::stoi(match[2].str())].push_back(std::stoi(match[3].str()));
        pos += static_cast<size_t>(match.length(0));
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(kProcesses));
    for (const auto& [writer, numbers] : seen) {
        SCOPED_TRACE(writer);
        ASSERT_EQ(numbers.size(), static_cast<size_t>(kEntriesEach));
        for (int i = 0; i < kEntriesEach; ++i)
            EXPECT_EQ(numbers[i], i);
    }
}

} // namespace
} // namespace velmora::log
