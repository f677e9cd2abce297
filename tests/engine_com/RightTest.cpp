// The Right value holder: flags read back 1 or 0, and storing true in an editing flag grants Read.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <velmora/Velmora.h>

#include "engine/admin/Right.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/Schema.h"
#include "tests/db/DbTestSupport.h"

namespace velmora::engine {
namespace {

struct Flag {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IRight::*get)(LONG*);
    HRESULT (STDMETHODCALLTYPE IRight::*put)(LONG);
    bool grantsRead;
};

// Each flag with whether storing true in it grants Read too.
#define FLAG(name, grants)                                                                         \
    { #name, &IRight::get_##name, &IRight::put_##name, grants }
// clang-format off
const Flag kFlags[] = {
    FLAG(Read, false), FLAG(Add, true), FLAG(Delete, true), FLAG(EditClass, true),
    FLAG(EditPriority, true), FLAG(EditSeverity, true), FLAG(EditReportedInVersion, true),
    FLAG(EditReportedDate, true), FLAG(EditFixedInVersion, true), FLAG(EditFixedDate, true),
    FLAG(EditVerifiedDate, true), FLAG(EditDescription, true), FLAG(EditRecreateStep, true),
    FLAG(EditWorkAround, true), FLAG(EditReport, true), FLAG(EditResolution, true),
    FLAG(EditAttachment, true), FLAG(ReportGen, false), FLAG(Print, true), FLAG(Statistic, false),
    FLAG(Add_Edit_Del_BugClass, false), FLAG(Add_Edit_Del_BugStatus, false),
    FLAG(Add_Edit_Del_BugReproductive, false), FLAG(Add_Edit_Del_BugSeverity, false),
    FLAG(AssignProductToUser, false), FLAG(AssignClassToUser, false),
    FLAG(EditReproductive, true), FLAG(EditDateDue, true), FLAG(EditEstimatedTime, true),
    FLAG(Add_Edit_Del_BugPriority, false), FLAG(AddProduct, false), FLAG(EditProduct, false),
    FLAG(DeleteProduct, false),
};
// clang-format on
#undef FLAG

LONG Get(IRight* right, const Flag& flag) {
    LONG value = -7;
    EXPECT_EQ((right->*flag.get)(&value), S_OK);
    return value;
}

// Every flag starts clear and stores any non-zero value as 1. Storing true in an editing flag
// grants Read as well; no flag touches any other, and neither storing false nor clearing Read
// touches anything else.
TEST(RightFlags, StoreNonZeroAsOneAndOnlyEditingFlagsGrantRead) {
    auto object = CreateObject<CRight>();
    IRight* right = object.Get();
    const Flag& read = kFlags[0];
    for (const Flag& flag : kFlags)
        EXPECT_EQ(Get(right, flag), 0) << flag.name;
    for (const Flag& flag : kFlags) {
        SCOPED_TRACE(flag.name);
        for (const Flag& each : kFlags)
            (right->*each.put)(0);
        for (LONG value : {-1, 5}) {
            EXPECT_EQ((right->*flag.put)(value), S_OK);
            EXPECT_EQ(Get(right, flag), 1);
        }
        for (const Flag& other : kFlags) {
            if (&other == &flag) continue;
            const bool granted = flag.grantsRead && &other == &read;
            EXPECT_EQ(Get(right, other), granted ? 1 : 0) << other.name;
        }
        if (&flag != &read) {
            (right->*read.put)(0); // clearing Read leaves the flag
            EXPECT_EQ(Get(right, flag), 1);
        }
        (right->*read.put)(1);
        (right->*flag.put)(0);
        EXPECT_EQ(Get(right, flag), 0);
        EXPECT_EQ(Get(right, read), &flag == &read ? 0 : 1);
    }
    EXPECT_EQ(right->get_Read(nullptr), E_POINTER);
}

// Every flag has its own column; the flag order of the row differs from the interface's.
TEST(RightColumns, NameEveryFlagOnce) {
    std::set<RightFlag> flags;
    std::set<std::string> columns;
    for (const RightColumn& column : kRightColumns) {
        flags.insert(column.flag);
        columns.insert(std::string(column.column));
    }
    EXPECT_EQ(flags.size(), kRightFlagCount);
    EXPECT_EQ(columns.size(), kRightFlagCount);
    EXPECT_EQ(kRightColumns[22].flag, RightFlag::Statistic);
    EXPECT_EQ(kRightColumns[22].column, "ViewStatistic");
}

// A new database's tRight holds the identifier, the role and one column for each flag, no more.
TEST(RightColumns, AreTheFlagColumnsOfANewDatabase) {
    db::test::TempDir dir;
    const std::string path = (dir.Path() / "seed.mdb").string();
    ASSERT_EQ(db::CreateSeedDatabase(path), "");
    db::test::RawDb raw(path);
    std::vector<std::string> stored;
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw.get(), "PRAGMA table_info(tRight)", -1, &statement, nullptr),
              SQLITE_OK);
    while (sqlite3_step(statement) == SQLITE_ROW)
        stored.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
    sqlite3_finalize(statement);

    ASSERT_EQ(stored.size(), kRightFlagCount + 2);
    EXPECT_EQ(stored[0], "RightID");
    EXPECT_EQ(stored[1], "RoleID");
    std::set<std::string> flagColumns;
    for (const RightColumn& column : kRightColumns)
        flagColumns.insert(std::string(column.column));
    EXPECT_EQ(std::set<std::string>(stored.begin() + 2, stored.end()), flagColumns);
}

} // namespace
} // namespace velmora::engine
