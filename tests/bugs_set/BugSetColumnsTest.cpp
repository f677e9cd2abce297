// The bug fields a bug set writes one by one: the right that guards writing each, and the value
// the bug gives it. That every field names a real column is shown by sorting on each.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include <velmora/Velmora.h>

#include "engine/bugs/BugSetColumns.h"

namespace velmora::engine {
namespace {

// The fields a role may be refused to edit; every other field is written unguarded.
TEST(BugSetColumns, EditRightsGuardExactlyTheEditableFields) {
    const std::map<LONG, RightFlag> guarded = {
        {ColSeverity, RightFlag::EditSeverity},         {ColPriority, RightFlag::EditPriority},
        {ColReproductive, RightFlag::EditReproductive}, {ColDescription, RightFlag::EditDescription},
        {ColReport, RightFlag::EditReport},             {ColRecreateStep, RightFlag::EditRecreateStep},
        {ColWorkaround, RightFlag::EditWorkAround},     {ColResolution, RightFlag::EditResolution},
        {ColDateDue, RightFlag::EditDateDue},           {ColClassification, RightFlag::EditClass},
        {ColClassID, RightFlag::EditClass}};
    for (LONG field = -1; field <= 32; ++field) {
        const auto it = guarded.find(field);
        EXPECT_EQ(BugColumnRight(field),
                  it == guarded.end() ? std::nullopt : std::optional<RightFlag>(it->second))
            << field;
    }
    for (LONG field : {-1, 31, 1000}) {
        EXPECT_EQ(BugColumnName(field), "") << field;
        EXPECT_TRUE(BugColumnValue(BugData{}, field).isNull()) << field;
    }
}

TEST(BugSetColumns, ValuesComeFromTheBugsFieldOfTheSameName) {
    BugData bug;
    bug.id = 7;
    bug.workaround = "Restart";
    bug.classificationID = 4;
    bug.verifiedByID = 3;
    bug.fixedDate = 45130.5;
    bug.bugType = 257; // stored as a byte

    EXPECT_EQ(BugColumnValue(bug, ColID).asInt(), 7);
    EXPECT_EQ(BugColumnValue(bug, ColWorkaround).asText(), "Restart");
    EXPECT_EQ(BugColumnValue(bug, ColClassID).asInt(), 4);
    EXPECT_EQ(BugColumnValue(bug, ColVerifiedByID).asInt(), 3);
    EXPECT_EQ(BugColumnValue(bug, ColFixedDate).kind(), db::Value::Kind::Date);
    EXPECT_DOUBLE_EQ(BugColumnValue(bug, ColFixedDate).asDouble(), 45130.5);
    EXPECT_EQ(BugColumnValue(bug, ColBugType).kind(), db::Value::Kind::Byte);
    EXPECT_EQ(BugColumnValue(bug, ColBugType).asByte(), 1);
    // An empty text is a text here; Update decides whether it is stored as NULL.
    EXPECT_EQ(BugColumnValue(bug, ColReport).kind(), db::Value::Kind::Text);
}

} // namespace
} // namespace velmora::engine
