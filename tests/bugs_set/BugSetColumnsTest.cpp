// The bug fields a bug set sorts by and writes one by one: the column each eBugField value names,
// the right that guards writing it, and the value the bug gives it.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string_view>

#include <velmora/Velmora.h>

#include "engine/bugs/BugSetColumns.h"

namespace velmora::engine {
namespace {

struct Expected {
    LONG field;
    std::string_view column;
    std::optional<RightFlag> right;
};

// The whole eBugField range, as callers sort by it and Update writes it.
constexpr Expected kFields[] = {
    {ColID, "BugID", std::nullopt},
    {ColSeverity, "SeverityName", RightFlag::EditSeverity},
    {ColStatus, "StatusName", std::nullopt},
    {ColPriority, "PriorityName", RightFlag::EditPriority},
    {ColReproductive, "ReproductiveName", RightFlag::EditReproductive},
    {ColDescription, "Description", RightFlag::EditDescription},
    {ColReport, "Report", RightFlag::EditReport},
    {ColRecreateStep, "RecreateStep", RightFlag::EditRecreateStep},
    {ColWorkaround, "WorkAround", RightFlag::EditWorkAround},
    {ColResolution, "Resolution", RightFlag::EditResolution},
    {ColReportedBy, "ReportedBy", std::nullopt},
    {ColReportedInVer, "ReportedInVersion", std::nullopt},
    {ColReportedDate, "ReportedDate", std::nullopt},
    {ColFixedBy, "FixedBy", std::nullopt},
    {ColFixedInVer, "FixedInVersion", std::nullopt},
    {ColFixedDate, "FixedDate", std::nullopt},
    {ColVerifiedBy, "VerifiedBy", std::nullopt},
    {ColVerifiedDate, "VerifiedDate", std::nullopt},
    {ColLastModifiedBy, "LastModifiedBy", std::nullopt},
    {ColLastModifiedDate, "LastModifiedDate", std::nullopt},
    {ColEstimatedTime, "EstimatedTime", std::nullopt},
    {ColDateDue, "DateDue", RightFlag::EditDateDue},
    {ColClassification, "Classification", RightFlag::EditClass},
    {ColFixedByID, "FixedByID", std::nullopt},
    {ColFixedInVerID, "FixedInVersionID", std::nullopt},
    {ColVerifiedByID, "VerifiedByID", std::nullopt},
    {ColReportedByID, "ReportedByID", std::nullopt},
    {ColReportedInVerID, "ReportedInVersionID", std::nullopt},
    {ColLastModifiedByID, "LastModifiedByID", std::nullopt},
    {ColClassID, "ClassID", RightFlag::EditClass},
    {ColBugType, "BugType", std::nullopt},
};

TEST(BugSetColumns, EachFieldNamesItsColumnAndGuardingRight) {
    ASSERT_EQ(std::size(kFields), size_t{31});
    for (LONG field = 0; field < 31; ++field) {
        const Expected& expected = kFields[field];
        ASSERT_EQ(expected.field, field);
        EXPECT_EQ(BugColumnName(field), expected.column) << field;
        EXPECT_EQ(BugColumnRight(field), expected.right) << expected.column;
    }
}

TEST(BugSetColumns, ValuesOutsideTheRangeNameNothing) {
    for (LONG field : {-1, 31, 32, 1000}) {
        EXPECT_EQ(BugColumnName(field), "") << field;
        EXPECT_EQ(BugColumnRight(field), std::nullopt) << field;
        EXPECT_TRUE(BugColumnValue(BugData{}, field).isNull()) << field;
    }
}

TEST(BugSetColumns, ValuesComeFromTheBugsFieldOfTheSameName) {
    BugData bug;
    bug.id = 7;
    bug.severity = "Major";
    bug.workaround = "Restart";
    bug.classificationID = 4;
    bug.verifiedByID = 3;
    bug.fixedDate = 45130.5;
    bug.dateDue = 45200.75;
    bug.actualTime = 99.0;
    bug.bugType = 257; // stored as a byte

    EXPECT_EQ(BugColumnValue(bug, ColID).asInt(), 7);
    EXPECT_EQ(BugColumnValue(bug, ColSeverity).asText(), "Major");
    EXPECT_EQ(BugColumnValue(bug, ColWorkaround).asText(), "Restart");
    EXPECT_EQ(BugColumnValue(bug, ColClassID).asInt(), 4);
    EXPECT_EQ(BugColumnValue(bug, ColVerifiedByID).asInt(), 3);
    EXPECT_EQ(BugColumnValue(bug, ColFixedDate).kind(), db::Value::Kind::Date);
    EXPECT_DOUBLE_EQ(BugColumnValue(bug, ColFixedDate).asDouble(), 45130.5);
    EXPECT_DOUBLE_EQ(BugColumnValue(bug, ColDateDue).asDouble(), 45200.75);
    EXPECT_EQ(BugColumnValue(bug, ColBugType).kind(), db::Value::Kind::Byte);
    EXPECT_EQ(BugColumnValue(bug, ColBugType).asByte(), 1);
    // An empty text is a text here; Update decides whether it is stored as NULL.
    EXPECT_EQ(BugColumnValue(bug, ColReport).kind(), db::Value::Kind::Text);
    EXPECT_EQ(BugColumnValue(bug, ColReport).asText(), "");
}

} // namespace
} // namespace velmora::engine
