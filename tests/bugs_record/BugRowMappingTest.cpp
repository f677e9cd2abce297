// A bug written to tBugReport and read back, and the rules for what a save leaves alone.
#include "BugRecordTestSupport.h"

#include <tuple>

#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::test {
namespace {

using engine::BugData;
using engine::CBug;
using engine::CDBUtil;

// A bug with every field set: quotes, several lines, non-ASCII text and dates with times.
BugData FullBug(LONG id) {
    BugData data;
    data.id = id;
    data.description = "Crash when the name holds O'Brien's \"quotes\"";
    std::string longText;
    for (int line = 0; line < 400; ++line)
        longText += "Line " + std::to_string(line) + ": it's still failing\r\n";
    data.report = longText;
    data.recreateStep = "1. Open\n2. Type 'x'\n3. Save";
    data.workaround = "Restart the program – again";
    data.resolution = "Fixed in the parser";
    data.status = "In Process";
    data.priority = "Urgent";
    data.classificationID = 4;
    data.classification = "User's interface";
    data.severity = "Major";
    data.reproductive = "Always";
    data.reportedByID = 2;
    data.reportedBy = "Pat O'Brien";
    data.reportedDate = 45123.25;
    data.reportedInVersionID = 11;
    data.reportedInVersion = "1.0 beta";
    data.fixedByID = 3;
    data.fixedBy = "Kim";
    data.fixedDate = 45130.5;
    data.fixedInVersionID = 12;
    data.fixedInVersion = "1.1";
    data.verifiedByID = 1;
    data.verifiedBy = "Admin";
    data.verifiedDate = 45131.999988426;
    data.lastModifiedByID = 2;
    data.lastModifiedBy = "Pat O'Brien";
    data.lastModifiedDate = 45132.0416666667;
    data.estimatedTime = 2.5;
    data.dateDue = 45200.75;
    data.bugType = eFeature;
    return data;
}

// Every field but ActualTime, which the row does not carry.
auto RowFields(const BugData& d) {
    return std::tie(d.id, d.description, d.report, d.recreateStep, d.workaround, d.resolution,
                    d.status, d.priority, d.classificationID, d.classification, d.severity,
                    d.reproductive, d.reportedByID, d.reportedBy, d.reportedDate,
                    d.reportedInVersionID, d.reportedInVersion, d.fixedByID, d.fixedBy, d.fixedDate,
                    d.fixedInVersionID, d.fixedInVersion, d.verifiedByID, d.verifiedBy,
                    d.verifiedDate, d.lastModifiedByID, d.lastModifiedBy, d.lastModifiedDate,
                    d.estimatedTime, d.dateDue, d.bugType);
}

void ExpectSameFields(const BugData& actual, const BugData& expected) {
    EXPECT_TRUE(RowFields(actual) == RowFields(expected));
}

class BugRowMapping : public BugRecordTest {
  protected:
    void AddRow(const BugData& data) {
        auto bug = engine::CreateObject<CBug>();
        bug->Data() = data;
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tBugReport WHERE BugID = 0");
        rows.AddNew();
        ASSERT_EQ(CDBUtil::SaveBugData(rows, bug.Get()), S_OK);
        rows.Update();
    }
    void RewriteRow(const BugData& data) {
        auto bug = engine::CreateObject<CBug>();
        bug->Data() = data;
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tBugReport WHERE BugID = " + std::to_string(data.id));
        ASSERT_FALSE(rows.IsEOF());
        ASSERT_EQ(CDBUtil::SaveBugData(rows, bug.Get()), S_OK);
        rows.Update();
    }
    BugData ReadRow(LONG id, BugData start = {}) {
        auto bug = engine::CreateObject<CBug>();
        bug->Data() = std::move(start);
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tBugReport WHERE BugID = " + std::to_string(id));
        EXPECT_FALSE(rows.IsEOF());
        EXPECT_EQ(CDBUtil::GetBugData(rows, bug.Get()), S_OK);
        return bug->Data();
    }
    db::Value StoredValue(LONG id, const std::string& column) {
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tBugReport WHERE BugID = " + std::to_string(id));
        return rows.GetValue(column);
    }
};

TEST_F(BugRowMapping, EveryFieldReadsBackAsWritten) {
    const BugData written = FullBug(7);
    AddRow(written);
    ExpectSameFields(ReadRow(7), written);

    // Stored in the column types other readers of the file expect.
    EXPECT_EQ(StoredValue(7, "BugType").asInt(), 1);
    EXPECT_EQ(StoredValue(7, "VerifiedBy").asText(), "Admin");
    EXPECT_TRUE(StoredValue(7, "ActualTime").isNull());
}

TEST_F(BugRowMapping, RewritingAnUnchangedBugKeepsTheRow) {
    const BugData written = FullBug(8);
    AddRow(written);
    RewriteRow(ReadRow(8));
    ExpectSameFields(ReadRow(8), written);
}

TEST_F(BugRowMapping, EmptiedTextKeepsTheStoredTextButReproducibilityIsCleared) {
    AddRow(FullBug(9));
    BugData edited = ReadRow(9);
    edited.description.clear();
    edited.report.clear();
    edited.recreateStep.clear();
    edited.workaround.clear();
    edited.resolution.clear();
    edited.status.clear();
    edited.priority.clear();
    edited.severity.clear();
    edited.reproductive.clear();
    RewriteRow(edited);

    const BugData expected = FullBug(9);
    const BugData back = ReadRow(9);
    EXPECT_EQ(back.description, expected.description);
    EXPECT_EQ(back.report, expected.report);
    EXPECT_EQ(back.recreateStep, expected.recreateStep);
    EXPECT_EQ(back.workaround, expected.workaround);
    EXPECT_EQ(back.resolution, expected.resolution);
    EXPECT_EQ(back.status, expected.status);
    EXPECT_EQ(back.priority, expected.priority);
    EXPECT_EQ(back.severity, expected.severity);
    EXPECT_EQ(back.reproductive, "");
    EXPECT_TRUE(StoredValue(9, "ReproductiveName").isNull());
}

TEST_F(BugRowMapping, ANewRowLeavesUnsetTextsNull) {
    BugData data;
    data.id = 10;
    data.description = "Only a description";
    AddRow(data);
    for (const char* column : {"Report", "WorkAround", "StatusName", "ReproductiveName",
                               "Classification", "ReportedBy", "VerifiedBy"})
        EXPECT_TRUE(StoredValue(10, column).isNull()) << column;
    EXPECT_EQ(StoredValue(10, "ReportedByID").asInt(), 0);
    EXPECT_EQ(StoredValue(10, "BugType").asInt(), 0);
}

// A name belongs to the identifier beside it: clearing the identifier must not leave the old
// person or version named in the row.
TEST_F(BugRowMapping, ClearedIdentifierClearsItsStoredName) {
    AddRow(FullBug(11));
    BugData edited = ReadRow(11);
    edited.fixedByID = 0;
    edited.fixedBy.clear();
    edited.fixedInVersionID = 0;
    edited.fixedInVersion.clear();
    edited.classificationID = 0;
    edited.classification.clear();
    RewriteRow(edited);

    const BugData back = ReadRow(11);
    EXPECT_EQ(back.fixedByID, 0);
    EXPECT_EQ(back.fixedBy, "");
    EXPECT_EQ(back.fixedInVersion, "");
    EXPECT_EQ(back.classification, "");
    EXPECT_TRUE(StoredValue(11, "FixedBy").isNull());
    EXPECT_EQ(back.reportedBy, "Pat O'Brien") << "other names stay";
}

TEST_F(BugRowMapping, ActualTimeIsNeitherReadNorWritten) {
    Execute("INSERT INTO tBugReport (BugID, ActualTime, Description) VALUES (12, 2.75, 'x')");
    BugData start;
    start.actualTime = 9.0;
    BugData read = ReadRow(12, start);
    EXPECT_DOUBLE_EQ(read.actualTime, 9.0) << "the object's value is not replaced";

    read.actualTime = 5.0;
    RewriteRow(read);
    EXPECT_DOUBLE_EQ(StoredValue(12, "ActualTime").asDouble(), 2.75);
}

TEST_F(BugRowMapping, NullColumnsReadAsZeroAndEmpty) {
    Execute("INSERT INTO tBugReport (BugID) VALUES (13)");
    BugData start = FullBug(0);
    const BugData read = ReadRow(13, start);
    BugData expected;
    expected.id = 13;
    expected.actualTime = start.actualTime;
    ExpectSameFields(read, expected);
}

TEST_F(BugRowMapping, MissingColumnFailsAndIsLogged) {
    Execute("INSERT INTO tBugReport (BugID, Description) VALUES (15, 'x')");
    auto bug = engine::CreateObject<CBug>();
    db::Recordset rows;
    OpenRows(rows, "SELECT BugID, Description FROM tBugReport WHERE BugID = 15");
    EXPECT_EQ(CDBUtil::GetBugData(rows, bug.Get()), E_FAIL);
    EXPECT_TRUE(LoggedUnder(2, "CDBUtil::GetBugData"));

    bug->Data() = FullBug(15);
    EXPECT_EQ(CDBUtil::SaveBugData(rows, bug.Get()), E_FAIL);
    rows.CancelUpdate();
    EXPECT_TRUE(LoggedUnder(2, "CDBUtil::SaveBugData"));
    EXPECT_EQ(StoredValue(15, "Description").asText(), "x");
}

} // namespace
} // namespace velmora::test
