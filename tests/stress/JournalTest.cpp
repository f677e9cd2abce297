// Journal lines survive any text, and a line cut short by a kill is not taken for a record.
#include <fstream>

#include <gtest/gtest.h>

#include "JournalFile.h"
#include "Workspace.h"

namespace velmora::stress {
namespace {

TEST(JournalRecordTest, AwkwardValuesReadBackUnchanged) {
    JournalRecord record;
    record.Set("op", "addbug")
        .Set("desc", "two words = 100% sure\nnext line\ttab")
        .Set("empty", "")
        .Set("utf8", "Gr\xC3\xBC\xC3\x9F"
                     "e 'quoted'")
        .Set("id", 42);
    const std::string line = record.Format();
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.find('\t'), std::string::npos);
    const auto parsed = JournalRecord::Parse(line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, record);
    EXPECT_EQ(parsed->Number("id"), 42);
    EXPECT_EQ(parsed->Text("missing"), "");
    EXPECT_EQ(parsed->Number("desc"), 0);
}

TEST(JournalRecordTest, SettingAFieldAgainReplacesIt) {
    JournalRecord record;
    record.Set("ok", 0).Set("n", 3).Set("ok", 1);
    EXPECT_EQ(record.Format(), "ok=1 n=3");
}

TEST(JournalRecordTest, MalformedLinesAreRefused) {
    for (const char* line : {"", "novalue", "=x", "a=1  b=2", "a=%4", "a=%zz", "a=1 b"})
        EXPECT_FALSE(JournalRecord::Parse(line)) << line;
}

TEST(JournalFileTest, ATornLastLineIsCountedNotRead) {
    Workspace folder("", "velmora-journal-test");
    const std::string path = folder.Child("side.log");
    {
        JournalWriter writer(path, true);
        writer.Append(JournalRecord().Set("n", 1));
        writer.Append(JournalRecord().Set("n", 2));
    }
    std::ofstream(path, std::ios::app) << "garbage line\nn=3 op=del";
    const JournalContents contents = ReadJournal(path);
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[1].Number("n"), 2);
    EXPECT_EQ(contents.unreadableLines, 2);
}

TEST(JournalFileTest, AMissingFileReadsAsEmptyAndAnUnwritableOneThrows) {
    Workspace folder("", "velmora-journal-test");
    EXPECT_TRUE(ReadJournal(folder.Child("none.log")).records.empty());
    EXPECT_THROW(JournalWriter(folder.Child("no/such/folder.log"), false), std::system_error);
}

} // namespace
} // namespace velmora::stress
