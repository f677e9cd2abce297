// Several processes logging to one file at once: every entry arrives whole.
#include "LogTestSupport.h"

#include <cstdio>
#include <map>
#include <numeric>
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
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // Walk the file entry by entry: each must be exactly what its writer wrote.
    const std::string log = ReadFile(LogPath());
    const std::string head = std::string(44, '-') + "\r\n[Time]: ";
    std::map<int, std::vector<int>> seen; // writer -> entry numbers in file order
    size_t pos = 0;
    while (pos < log.size()) {
        SCOPED_TRACE("entry at byte " + std::to_string(pos));
        ASSERT_EQ(log.compare(pos, head.size(), head), 0);
        const size_t timeEnd = log.find("\r\n", pos + head.size());
        ASSERT_NE(timeEnd, std::string::npos);
        const size_t description = log.find("[Description]: ", timeEnd);
        ASSERT_NE(description, std::string::npos);
        int writer = -1, number = -1;
        ASSERT_EQ(std::sscanf(log.c_str() + timeEnd + 2, "[ErrCode]: %d", &writer), 1);
        ASSERT_EQ(std::sscanf(log.c_str() + description, "[Description]: %d", &number), 1);
        const std::string w = std::to_string(writer);
        const std::string rest = "\r\n[ErrCode]: " + w + "\r\n[Source]: Writer" + w +
                                 "\r\n[Description]: " + std::to_string(number) + ":" + padding +
                                 "\r\n\r\n";
        ASSERT_EQ(log.compare(timeEnd, rest.size(), rest), 0);
        seen[writer].push_back(number);
        pos = timeEnd + rest.size();
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(kProcesses));
    for (const auto& [writer, numbers] : seen) {
        SCOPED_TRACE(writer);
        std::vector<int> expected(kEntriesEach);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(numbers, expected);
    }
}

} // namespace
} // namespace velmora::log
