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
    std::string longText;
    for (int line = 0; line < 400; ++line)
        longText += "Line " + std::to_string(line) + ": it's still failing\r\n";
    // clang-format off
    return {id, "Crash when the name holds O'Brien's \"quotes\"", longText,
            "1. Open\n2. Type 'x'\n3. Save", "Restart the program – again", "Fixed in the parser",
            "In Process", "Urgent",
            4, "User's interface", "Major", "Always",
            2, "Pat O'Brien", 45123.25, 11, "1.0 beta",   // reported
            3, "Kim", 45130.5, 12, "1.1",                 // fixed
            1, "Admin", 45131.999988426,                  // verified
            2, "Pat O'Brien", 45132.0416666667,           // last modified
            2.5, 0.0, 45200.75, eFeature};                // estimated, actual (not stored), due
    // clang-format on
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

class BugRowMapping : public BugRecordTest {
  protected:
    // Writes a new row, or rewrites the bug's stored one.
    void WriteRow(const BugData& data, bool asNewRow) {
        auto bug = engine::CreateObject<CBug>();
        bug->Data() = data;
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tBugReport WHERE BugID = " +
                           std::to_string(asNewRow ? 0 : data.id));
        if (asNewRow) rows.AddNew();
        ASSERT_FALSE(rows.IsEOF());
        ASSERT_EQ(CDBUtil::SaveBugData(rows, bug.Get()), S_OK);
        rows.Update();
    }
    void AddRow(const BugData& data) { WriteRow(data, true); }
    void RewriteRow(const BugData& data) { WriteRow(data, false); }
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
        return Stored("SELECT * FROM tBugReport WHERE BugID = " + std::to_string(id), column);
    }
};

TEST_F(BugRowMapping, EveryFieldReadsBackAsWritten) {
    const BugData written = FullBug(7);
    AddRow(written);
    EXPECT_TRUE(RowFields(ReadRow(7)) == RowFields(written));
    RewriteRow(ReadRow(7)); // rewriting an unchanged bug keeps the row
    EXPECT_TRUE(RowFields(ReadRow(7)) == RowFields(written));

    // Stored in the column types other readers of the file expect.
    EXPECT_EQ(StoredValue(7, "BugType").asInt(), 1);
    EXPECT_EQ(StoredValue(7, "VerifiedBy").asText(), "Admin");
    EXPECT_TRUE(StoredValue(7, "ActualTime").isNull());
}

// An emptied text keeps the stored one, except ReproductiveName, which is always written; a new
// row leaves its unset texts NULL.
TEST_F(BugRowMapping, EmptiedTextKeepsTheStoredTextButReproducibilityIsCleared) {
    AddRow(FullBug(9));
    BugData edited = ReadRow(9);
    std::string BugData::*const texts[] = {
        &BugData::description, &BugData::report,     &BugData::recreateStep,
        &BugData::workaround,  &BugData::resolution, &BugData::status,
        &BugData::priority,    &BugData::severity,   &BugData::reproductive};
    for (auto text : texts)
        (edited.*text).clear();
    RewriteRow(edited);

    BugData expected = FullBug(9);
    expected.reproductive.clear();
    EXPECT_TRUE(RowFields(ReadRow(9)) == RowFields(expected));
    EXPECT_TRUE(StoredValue(9, "ReproductiveName").isNull());

    BugData data;
    data.id = 10;
    data.description = "Only a description";
    AddRow(data);
    for (const char* column : {"Report", "WorkAround", "StatusName", "ReproductiveName",
                               "Classification", "ReportedBy", "VerifiedBy"})
        EXPECT_TRUE(StoredValue(10, column).isNull()) << column;
}

// A name belongs to the identifier beside it: clearing the identifier must not leave the old
// person or version named in the row.
TEST_F(BugRowMapping, ClearedIdentifierClearsItsStoredName) {
    BugData expected = FullBug(11);
    AddRow(expected);
    expected.fixedByID = expected.fixedInVersionID = expected.classificationID = 0;
    expected.fixedBy = expected.fixedInVersion = expected.classification = "";
    RewriteRow(expected);
    EXPECT_TRUE(RowFields(ReadRow(11)) == RowFields(expected)) << "other names stay";
    EXPECT_TRUE(StoredValue(11, "FixedBy").isNull());
}

// NULL columns read as zero and empty; ActualTime is neither read into the object nor written.
TEST_F(BugRowMapping, NullColumnsReadAsZeroAndActualTimeIsLeftAlone) {
    Execute("INSERT INTO tBugReport (BugID, ActualTime) VALUES (12, 2.75)");
    BugData read = ReadRow(12, FullBug(0));
    BugData expected;
    expected.id = 12;
    EXPECT_TRUE(RowFields(read) == RowFields(expected));
    EXPECT_DOUBLE_EQ(read.actualTime, FullBug(0).actualTime) << "the object's value is kept";

    read.actualTime = 5.0;
    RewriteRow(read);
    EXPECT_DOUBLE_EQ(StoredValue(12, "ActualTime").asDouble(), 2.75);
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
