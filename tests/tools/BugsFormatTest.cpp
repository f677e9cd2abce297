// The pieces of `velmora bugs` that need no engine: CSV and JSON quoting, ISO dates, the
// plain text of rich texts and the checking of the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BugsArgs.h"
#include "RowFormat.h"
#include "RtfText.h"
#include "RtfWriter.h"

namespace velmora::tool {
namespace {

TEST(BugsCsv, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("plain text"), "plain text");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(CsvField("Zoë ünïcode"), "Zoë ünïcode");
    EXPECT_EQ(CsvField(""), "");

    const std::vector<Column> columns = {{"ID", "ID"}, {"Reported Date", "ReportedDate"}};
    const std::vector<std::vector<Cell>> rows = {
        {Cell{"7", Cell::Kind::Number}, DateCell(0.0)},
        {Cell{"8", Cell::Kind::Number}, DateCell(45322.5)}};
    EXPECT_EQ(FormatCsv(columns, rows), "ID,Reported Date\r\n7,\r\n8,2024-01-31T12:00:00\r\n");
}

TEST(BugsJson, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("line\nbreak\ttab\r"), "\"line\\nbreak\\ttab\\r\"");
    EXPECT_EQ(JsonString(std::string("nul\0bell\a", 9)), "\"nul\\u0000bell\\u0007\"");
    EXPECT_EQ(JsonString("\x1f\x7f"), "\"\\u001f\\u007f\"");
    EXPECT_EQ(JsonString("Zoë → 😀"), "\"Zoë → 😀\""); // UTF-8 passes unchanged

    const std::vector<Column> columns = {
        {"ID", "ID"}, {"Fixed Date", "FixedDate"}, {"Description", "Description"}};
    EXPECT_EQ(FormatJson(columns, {}), "[]\n");
    EXPECT_EQ(FormatJson(columns, {{Cell{"3", Cell::Kind::Number}, DateCell(0.0), Cell{"x"}}}),
              "[\n {\"ID\": 3, \"FixedDate\": null, \"Description\": \"x\"}\n]\n");
}

TEST(BugsDates, AutomationDatesBecomeIsoDateTimesAndBack) {
    EXPECT_FALSE(IsoDateTime(0.0)); // no date
    EXPECT_EQ(IsoDateTime(36526.0), "2000-01-01T00:00:00");
    EXPECT_EQ(IsoDateTime(45351.75), "2024-02-29T18:00:00");
    // Half a second before midnight rounds into the next day, not to 24:00:00.
    EXPECT_EQ(IsoDateTime(45351.0 + 86399.6 / 86400.0), "2024-03-01T00:00:00");
    EXPECT_EQ(IsoDateTime(-1.0), "1899-12-29T00:00:00");
    EXPECT_FALSE(IsoDateTime(1e12));

    EXPECT_EQ(ParseIsoDay("2024-02-29"), 45351.0);
    EXPECT_EQ(ParseIsoDay("1899-12-30"), 0.0);
    EXPECT_FALSE(ParseIsoDay("2023-02-29"));
    EXPECT_FALSE(ParseIsoDay("2024-13-01"));
    EXPECT_FALSE(ParseIsoDay("2024-1-31"));
    EXPECT_FALSE(ParseIsoDay("2024-01-31T10:00"));
    EXPECT_FALSE(ParseIsoDay("yesterday!"));
}

TEST(BugsTable, PadsColumnsAndCutsLongCellsOnCharacterBoundaries) {
    const std::vector<Column> columns = {
        {"ID", "ID"}, {"Description", "Description"}, {"Reported Date", "ReportedDate"}};
    const std::string table =
        FormatTable(columns,
                    {{Cell{"12", Cell::Kind::Number}, Cell{"ééééééééééééé"}, DateCell(45351.75)},
                     {Cell{"3", Cell::Kind::Number}, Cell{"two\nlines"}, DateCell(0.0)}},
                    10);
    EXPECT_EQ(table, "ID  Description  Reported Date\n"
                     "--  -----------  ----------------\n"
                     "12  ééééééé...   2024-02-29 18:00\n"
                     "3   two lines\n");
}

TEST(BugsRtf, PlainTextOfTheClientsRichText) {
    demo::RtfWriter writer;
    // The writer escapes what rich text reserves and writes Unicode, the highest as a negative
    // number; the plain text gives every character back.
    writer.Text("Crash when saving ").Bold("Zoë's {ledger} €\xEF\xBF\xBF").EndParagraph();
    writer.Bullet("first step").Bullet("back\\slash");
    EXPECT_EQ(RtfToPlainText(writer.Document()),
              "Crash when saving Zoë's {ledger} €\xEF\xBF\xBF\n• first step\n• back\\slash");

    // Escaped code page bytes, Unicode with its fallback, a surrogate pair, a hidden group.
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi{\\*\\generator x;}caf\\'e9 \\u8364?\\uc2 "
                             "\\u-10179??\\u-8704??\\line end\\par}"),
              "café €😀\nend");
    EXPECT_EQ(RtfToPlainText("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}a\\tab b}"),
              "a\tb");
    // An unpaired surrogate or a cut-off escape does not break the text around it.
    EXPECT_EQ(RtfToPlainText("{\\rtf1 x\\u-10179?y\\'"), "x\xEF\xBF\xBDy");
    // Texts that are not rich text come back unchanged.
    EXPECT_EQ(RtfToPlainText("just {text}\n"), "just {text}\n");
    EXPECT_EQ(RtfToPlainText(""), "");
}

std::vector<std::string> Words(std::initializer_list<const char*> words) {
    return {words.begin(), words.end()};
}

TEST(BugsArguments, ChecksEverythingBeforeTheDatabase) {
    const auto base = [](std::initializer_list<const char*> more) {
        std::vector<std::string> words =
            Words({"list", "db.mdb", "--login", "mhart", "--version", "Harbor Ledger/2.1"});
        words.insert(words.end(), more.begin(), more.end());
        return words;
    };
    const BugsCommand list =
        ParseBugsCommand(base({"--where", "statusname", "=", "Fixed", "--where", "Description",
                               "include", "crash", "--where", "ReportedDate", ">=", "2024-01-31",
                               "--any", "--sort", "Reported Date:desc", "--format", "CSV"}),
                         "from-env");
    EXPECT_EQ(list.password, "from-env");
    ASSERT_EQ(list.conditions.size(), 3u);
    EXPECT_EQ(list.conditions[0].field, "StatusName");
    EXPECT_EQ(list.conditions[1].condition, Like);
    EXPECT_EQ(list.conditions[1].value, "%crash%");
    EXPECT_EQ(list.conditions[2].condition, LargerEqual);
    EXPECT_TRUE(list.any);
    EXPECT_EQ(list.sortField, ColReportedDate);
    EXPECT_TRUE(list.sortDescending);
    EXPECT_EQ(list.format, OutputFormat::Csv);
    EXPECT_EQ(ParseBugsCommand(base({"--password", ""}), "from-env").password, "");

    const std::vector<std::vector<std::string>> wrong = {
        {},
        Words({"remove", "db.mdb"}),
        Words({"list", "db.mdb", "--version", "1"}), // no login
        Words({"list", "db.mdb", "--login", "a"}),   // no place
        Words({"list", "db.mdb", "--login", "a", "--version", "1", "--role", "2"}),
        base({"--where", "Nonsense", "=", "1"}),
        base({"--where", "BugID", "=", "twelve"}),
        base({"--where", "ReportedDate", "<", "31/01/2024"}),
        base({"--where", "BugID", "include", "1"}), // not a text
        base({"--where", "StatusName", "~", "Fixed"}),
        base({"--where", "StatusName", "="}),
        base({"--sort", "Colour"}),
        base({"--sort", "ID:upwards"}),
        base({"--format", "xml"}),
        base({"--description", "x"}), // not for list
        base({"extra"}),
        Words({"show", "db.mdb", "--login", "a", "--version", "1"}), // no ID
        Words({"show", "db.mdb", "--login", "a", "--version", "1", "0"}),
        Words({"show", "db.mdb", "--login", "a", "--version", "1", "--format", "csv", "4"}),
        Words({"add", "db.mdb", "--login", "a", "--version", "1"}), // no description
        Words({"add", "db.mdb", "--login", "a", "--version", "1", "--description", ""}),
        Words({"add", "db.mdb", "--login", "a", "--role", "1", "--description", "x"}),
        Words({"add", "db.mdb", "--login", "a", "--version", "1", "--description", "x", "--status",
               "New", "--status", "Fixed"}),
        Words({"update", "db.mdb", "--login", "a", "--version", "1", "5"}), // no change
        Words({"update", "db.mdb", "--login", "a", "--version", "1", "5", "--attach"}),
    };
    for (const auto& words : wrong)
        EXPECT_THROW(ParseBugsCommand(words, nullptr), UsageError)
            << ::testing::PrintToString(words);
}

} // namespace
} // namespace velmora::tool
