// `velmora bugs` run as a script would run it, on a copy of one demo database: listing with
// filters and sorting in the three formats, showing, adding with an attachment, updates the
// engine or the rights refuse, and wrong arguments that must leave the file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

namespace velmora::test {
namespace {

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::set<std::string> AsSet(const std::vector<std::vector<std::string>>& rows) {
    std::set<std::string> values;
    for (const auto& row : rows)
        values.insert(row.at(0));
    return values;
}

class BugsCommandLine : public ToolTest {
  protected:
    // One demo database for the whole suite; every test works on its own copy.
    static void SetUpTestSuite() {
        shared_ = new TempDir;
        ScopedEnv registry("VELMORA_REGISTRY", shared_->File("registry"));
        ScopedEnv library("VELMORA_LIBRARY", VELMORA_LIBRARY_PATH);
        ASSERT_EQ(RunTool("register", shared_->File("stderr")).status, 0);
        const Outcome made =
            RunTool("demo '" + shared_->File("demo.mdb") + "' --bugs 120", shared_->File("stderr"));
        ASSERT_EQ(made.status, 0) << made.errors;
    }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }

    void SetUp() override {
        ToolTest::SetUp();
        file_ = dir_.File("team.mdb");
        std::filesystem::copy_file(shared_->File("demo.mdb"), file_);
        Database db(file_);
        // The version with the most bugs, and its name as "Product/Version".
        const auto rows = db.Rows(
            "SELECT v.VersionID, p.ProductName || '/' || v.VersionName FROM tVersion v "
            "JOIN tProduct p ON p.ProductID = v.ProductID ORDER BY (SELECT count(*) FROM "
            "tBugReport b WHERE b.ReportedInVersionID = v.VersionID AND b.BugType = 0) DESC");
        versionID_ = rows.at(0).at(0);
        versionName_ = rows.at(0).at(1);
    }

    // `velmora bugs VERB FILE` logged in as the user (password from the demo's rule) in the
    // busiest version, then the rest of the arguments.
    Outcome Bugs(const std::string& verb, const std::string& login, const std::string& rest) {
        return Run("bugs " + verb + " '" + file_ + "' --login " + login + " --password " + login +
                   "-demo --version '" + versionName_ + "' " + rest);
    }
    // The bug IDs of the version that the condition selects, from the file itself.
    std::set<std::string> Expected(const std::string& condition) {
        return AsSet(Database(file_).Rows("SELECT BugID FROM tBugReport WHERE BugType = 0 AND "
                                          "ReportedInVersionID = " +
                                          versionID_ + (condition.empty() ? "" : " AND ") +
                                          condition));
    }

    static TempDir* shared_;
    std::string file_, versionID_, versionName_;
};

TempDir* BugsCommandLine::shared_ = nullptr;

TEST_F(BugsCommandLine, ListsFiltersAndSortsInAllThreeFormats) {
    // CSV: a header row, then one row per bug; sorted by the reported date, newest first.
    const Outcome csv = Bugs("list", "mhart",
                             "--where StatusName '<>' closed --where ReportedDate '>=' 2000-01-01 "
                             "--sort 'Reported Date:desc' --format csv");
    ASSERT_EQ(csv.status, 0) << csv.errors;
    const std::vector<std::string> lines = Lines(csv.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ID,Description,Status,Severity,Priority,Reproductive,Classification,"
                        "Reported In Version,Reported By,Reported Date,Fixed In Version,Fixed "
                        "By,Fixed Date,Verified By,Verified Date");
    EXPECT_NE(csv.output.find("\r\n"), std::string::npos); // RFC 4180 line ends
    std::set<std::string> ids;
    std::vector<std::string> dates;
    const std::regex row(
        R"(^(\d+),.*,(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d),[^,]*,[^,]*,[^,]*,[^,]*,[^,]*$)");
    for (size_t i = 1; i < lines.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(lines[i], match, row)) << lines[i];
        ids.insert(match[1]);
        dates.push_back(match[2]);
    }
    EXPECT_EQ(ids, Expected(""));
    EXPECT_GT(ids.size(), 3u);
    EXPECT_TRUE(std::is_sorted(dates.rbegin(), dates.rend()));

    // JSON with two conditions joined by Or; names of fields and values ignore case.
    const Outcome json = Bugs("list", "mhart",
                              "--where statusname = FIXED --where PriorityName = urgent --any "
                              "--format json --sort id");
    ASSERT_EQ(json.status, 0) << json.errors;
    std::set<std::string> jsonIds;
    const std::regex idMember(R"(\{"ID": (\d+), )");
    for (auto it = std::sregex_iterator(json.output.begin(), json.output.end(), idMember);
         it != std::sregex_iterator(); ++it)
        jsonIds.insert((*it)[1]);
    EXPECT_EQ(jsonIds, Expected("(StatusName = 'Fixed' OR PriorityName = 'Urgent')"));
    EXPECT_EQ(json.output.front(), '[');
    EXPECT_TRUE(std::regex_search(json.output, std::regex(R"("ReportedDate": "\d{4}-\d\d-\d\dT)")));
    if (json.output.find("\"Status\": \"Fixed\"") != std::string::npos) {
        EXPECT_NE(json.output.find("\"VerifiedDate\": null"), std::string::npos);
    }

    // The table, and "include" finding a word anywhere in the description.
    const Outcome table = Bugs("list", "mhart", "--where Description include the");
    ASSERT_EQ(table.status, 0) << table.errors;
    const std::vector<std::string> rows = Lines(table.output);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0].rfind("ID   Description", 0), 0u) << rows[0];
    EXPECT_EQ(rows.size() - 2, Expected("Description LIKE '%the%'").size());

    // Features are a list of their own.
    const Outcome features = Bugs("list", "mhart", "--features --format csv");
    ASSERT_EQ(features.status, 0) << features.errors;
    EXPECT_EQ(Lines(features.output).size() - 1,
              Database(file_)
                  .Rows("SELECT BugID FROM tBugReport WHERE BugType = 1 AND "
                        "ReportedInVersionID = " +
                        versionID_)
                  .size());
}

TEST_F(BugsCommandLine, AddsABugWithAnAttachmentAndShowsIt) {
    // The product's last classification, named in lower case.
    const std::string classification = Database(file_).Value(
        "SELECT ClassName FROM tClassification WHERE ProductID = (SELECT ProductID FROM tVersion "
        "WHERE VersionID = " +
        versionID_ + ") ORDER BY ClassificationID DESC");
    std::string lowered = classification;
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string attachment = dir_.File("crash, \"ünïcode\".log");
    std::ofstream(attachment) << "stack trace\n";
    const Outcome added = Bugs("add", "mhart",
                               "--description 'Crash, when \"saving\" Zoë'\\''s ledger' "
                               "--priority urgent --classification '" +
                                   lowered +
                                   "' --report "
                                   "'First line\nZweite Zeile {ü}' --attach '" +
                                   attachment + "'");
    ASSERT_EQ(added.status, 0) << added.errors;
    const std::string id = Lines(added.output).at(0);
    Database db(file_);
    EXPECT_EQ(db.Rows("SELECT Description, StatusName, PriorityName, SeverityName, "
                      "Classification, ReportedBy, ReportedInVersionID FROM tBugReport WHERE "
                      "BugID = " +
                      id),
              (std::vector<std::vector<std::string>>{{"Crash, when \"saving\" Zoë's ledger", "New",
                                                      "Urgent", "Normal", classification,
                                                      "Maya Hart", versionID_}}));
    EXPECT_EQ(db.Value("SELECT FileName FROM tAttachment WHERE BugID = " + id),
              "crash, \"ünïcode\".log");

    const Outcome shown = Bugs("show", "mhart", id);
    ASSERT_EQ(shown.status, 0) << shown.errors;
    EXPECT_NE(shown.output.find("ID: " + id + "\nType: Bug\nDescription: Crash, when"),
              std::string::npos)
        << shown.output;
    EXPECT_NE(shown.output.find("Report:\n    First line\n    Zweite Zeile {ü}\n"),
              std::string::npos)
        << shown.output;
    EXPECT_TRUE(std::regex_search(shown.output,
                                  std::regex("Attachments \\(1\\):\n    \\d+  crash, \"ünïcode\""
                                             "\\.log  12 bytes  \\d{4}-")))
        << shown.output;
    const Outcome json = Bugs("show", "mhart", "--format json " + id);
    ASSERT_EQ(json.status, 0) << json.errors;
    EXPECT_NE(json.output.find("\"Report\": \"First line\\nZweite Zeile {ü}\""), std::string::npos)
        << json.output;
    EXPECT_NE(json.output.find("\"FileName\": \"crash, \\\"ünïcode\\\".log\""), std::string::npos);

    // Fixing it records who fixed it, when and in which version.
    const Outcome fixed = Bugs("update", "mhart", id + " --status fixed");
    ASSERT_EQ(fixed.status, 0) << fixed.errors;
    EXPECT_EQ(Database(file_).Rows("SELECT StatusName, FixedBy, FixedInVersionID, FixedDate > 0 "
                                   "FROM tBugReport WHERE BugID = " +
                                   id),
              (std::vector<std::vector<std::string>>{{"Fixed", "Maya Hart", versionID_, "1"}}));
}

TEST_F(BugsCommandLine, AnAddWhoseAttachmentFailsRemovesTheNewBugAgain) {
    const std::string bugs = Database(file_).Value("SELECT count(*) FROM tBugReport");
    // The second file cannot be stored: the database refuses it.
    Execute(file_, "CREATE TRIGGER full BEFORE INSERT ON tAttachment WHEN NEW.FileName = "
                   "'second.txt' BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const std::string first = dir_.File("first.txt"), second = dir_.File("second.txt");
    std::ofstream(first) << "1";
    std::ofstream(second) << "2";
    const Outcome refused =
        Bugs("add", "mhart",
             "--description 'Half attached' --attach '" + first + "' --attach '" + second + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("Add file to database failed!"), std::string::npos)
        << refused.errors;
    EXPECT_EQ(refused.output, "");
    Database db(file_);
    EXPECT_EQ(db.Value("SELECT count(*) FROM tBugReport"), bugs);
    EXPECT_EQ(db.Value("SELECT count(*) FROM tBugReport WHERE Description = 'Half attached'"), "0");
    EXPECT_EQ(db.Value("SELECT count(*) FROM tAttachment WHERE FileName = 'first.txt'"), "0");

    // A developer may not delete bugs: the bug stays, and the message says so.
    const Outcome stays =
        Bugs("add", "dokafor",
             "--description 'Half attached' --attach '" + first + "' --attach '" + second + "'");
    if (Database(file_).Value("SELECT count(*) FROM tRole r JOIN tUserRole u ON u.RoleID = "
                              "r.RoleID JOIN tUser s ON s.UserID = u.UserID WHERE s.LoginName = "
                              "'dokafor' AND r.ProductID = (SELECT ProductID FROM tVersion WHERE "
                              "VersionID = " +
                              versionID_ + ")") != "0") {
        EXPECT_EQ(stays.status, 1);
        EXPECT_NE(stays.errors.find("it stays without its attachments"), std::string::npos)
            << stays.errors;
    }
}

TEST_F(BugsCommandLine, UpdateRefusedByARightWritesNothing) {
    const std::string id = *Expected("").begin();
    const std::string before = ReadFile(file_);
    // Testers may not change the priority.
    const Outcome refused = Bugs("update", "rsilva", id + " --priority high --status active");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("You have no right to edit priority, please contact your "
                                  "manager!"),
              std::string::npos)
        << refused.errors;
    EXPECT_EQ(refused.output, "");
    EXPECT_TRUE(ReadFile(file_) == before);
}

TEST_F(BugsCommandLine, UpdateRefusedByAConcurrentChangeTakesItsAttachmentsBack) {
    const std::string id = *Expected("").begin();
    const std::string attachments = Database(file_).Value("SELECT count(*) FROM tAttachment");
    // Another user changes the bug while the update stores its attachment.
    Execute(file_, "CREATE TRIGGER elsewhere AFTER INSERT ON tAttachment BEGIN UPDATE tBugReport "
                   "SET Description = 'changed elsewhere' WHERE BugID = NEW.BugID; END");
    const std::string attachment = dir_.File("notes.txt");
    std::ofstream(attachment) << "notes";
    const Outcome refused =
        Bugs("update", "mhart", id + " --status verified --attach '" + attachment + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("updating bug " + id + " failed: Update bug failed!"),
              std::string::npos)
        << refused.errors;
    Database db(file_);
    EXPECT_EQ(db.Value("SELECT count(*) FROM tAttachment"), attachments);
    EXPECT_EQ(db.Value("SELECT Description FROM tBugReport WHERE BugID = " + id),
              "changed elsewhere");
    EXPECT_NE(db.Value("SELECT StatusName FROM tBugReport WHERE BugID = " + id), "Verified");
}

TEST_F(BugsCommandLine, WrongArgumentsAndNamesLeaveTheFileByteIdentical) {
    const std::string id = *Expected("").begin();
    const std::string before = ReadFile(file_);
    const std::string missing = dir_.File("no-such-file.txt");
    // Parsing is checked on its own; here one refusal of it and those that need the database.
    for (const auto& [verb, rest] : std::vector<std::pair<std::string, std::string>>{
             {"list", "--where Colour = red"},
             {"add", "--description x --priority 'Sky High'"},
             {"add", "--description x --classification Kitchen"},
             {"add", "--description x --attach '" + missing + "'"}}) {
        SCOPED_TRACE(verb + " " + rest);
        const Outcome outcome = Bugs(verb, "mhart", rest);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.errors.find("usage: velmora bugs"), std::string::npos) << outcome.errors;
    }
    const Outcome unknownStatus = Bugs("update", "mhart", id + " --status Closed");
    EXPECT_EQ(unknownStatus.status, 2);
    EXPECT_NE(unknownStatus.errors.find("unknown status 'Closed'; choose from: New, Active"),
              std::string::npos)
        << unknownStatus.errors;
    const Outcome unknownVersion =
        Run("bugs list '" + file_ +
            "' --login mhart --password mhart-demo --version 'Harbor Ledger/9.9'");
    EXPECT_EQ(unknownVersion.status, 2);
    EXPECT_NE(unknownVersion.errors.find("choose from: Harbor Ledger/1.0,"), std::string::npos)
        << unknownVersion.errors;
    EXPECT_TRUE(ReadFile(file_) == before);
}

TEST_F(BugsCommandLine, TakesThePasswordFromTheEnvironmentAndReportsAWrongOne) {
    const std::string place = "--login mhart --version " + versionID_;
    {
        ScopedEnv password("VELMORA_PASSWORD", "mhart-demo");
        const Outcome listed = Run("bugs list '" + file_ + "' " + place + " --format csv");
        EXPECT_EQ(listed.status, 0) << listed.errors;
        EXPECT_EQ(Lines(listed.output).size() - 1, Expected("").size());
    }
    const Outcome wrong = Run("bugs list '" + file_ + "' " + place + " --password nope");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.errors.find("User Name or password is incorrect!"), std::string::npos)
        << wrong.errors;

    const Outcome help = Run("bugs --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("VELMORA_PASSWORD"), std::string::npos);
    EXPECT_NE(Run("--help").output.find("bugs list FILE"), std::string::npos);
}

} // namespace
} // namespace velmora::test
