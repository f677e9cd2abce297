// The Right value holder: flags read back 1 or 0, and storing true in an editing flag grants Read.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <velmora/Velmora.h>

#include "engine/admin/Right.h"
#include "engine/com/EngineObjects.h"

namespace velmora::engine {
namespace {

struct Flag {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IRight::*get)(LONG*);
    HRESULT (STDMETHODCALLTYPE IRight::*put)(LONG);
    bool grantsRead;
};

#define FLAG(name, grants)                                                                         \
    { #name, &IRight::get_##name, &IRight::put_##name, grants }
const Flag kFlags[] = {
    FLAG(Read, false),
    FLAG(Add, true),
    FLAG(Delete, true),
    FLAG(EditClass, true),
    FLAG(EditPriority, true),
    FLAG(EditSeverity, true),
    FLAG(EditReportedInVersion, true),
    FLAG(EditReportedDate, true),
    FLAG(EditFixedInVersion, true),
    FLAG(EditFixedDate, true),
    FLAG(EditVerifiedDate, true),
    FLAG(EditDescription, true),
    FLAG(EditRecreateStep, true),
    FLAG(EditWorkAround, true),
    FLAG(EditReport, true),
    FLAG(EditResolution, true),
    FLAG(EditAttachment, true),
    FLAG(ReportGen, false),
    FLAG(Print, true),
    FLAG(Statistic, false),
    FLAG(Add_Edit_Del_BugClass, false),
    FLAG(Add_Edit_Del_BugStatus, false),
    FLAG(Add_Edit_Del_BugReproductive, false),
    FLAG(Add_Edit_Del_BugSeverity, false),
    FLAG(AssignProductToUser, false),
    FLAG(AssignClassToUser, false),
    FLAG(EditReproductive, true),
    FLAG(EditDateDue, true),
    FLAG(EditEstimatedTime, true),
    FLAG(Add_Edit_Del_BugPriority, false),
    FLAG(AddProduct, false),
    FLAG(EditProduct, false),
    FLAG(DeleteProduct, false),
};
#undef FLAG

LONG Get(IRight* right, const Flag& flag) {
    LONG value = -7;
    EXPECT_EQ((right->*flag.get)(&value), S_OK);
    return value;
}

class RightFlags : public ::testing::Test {
  protected:
    com::ComPtr<CRight> object_ = CreateObject<CRight>();
    IRight* right_ = object_.Get();
};

TEST_F(RightFlags, ANewRightHasNoIdentifierAndNoPermission) {
    LONG id = -1;
    EXPECT_EQ(right_->get_ID(&id), S_OK);
    EXPECT_EQ(id, 0);
    for (const Flag& flag : kFlags) {
        SCOPED_TRACE(flag.name);
        EXPECT_EQ(Get(right_, flag), 0);
    }
}

TEST_F(RightFlags, EveryFlagStoresNonZeroAsOneAndZeroAsZero) {
    for (const Flag& flag : kFlags) {
        SCOPED_TRACE(flag.name);
        for (LONG value : {5, -1, 1}) {
            EXPECT_EQ((right_->*flag.put)(value), S_OK);
            EXPECT_EQ(Get(right_, flag), 1);
        }
        EXPECT_EQ((right_->*flag.put)(0), S_OK);
        EXPECT_EQ(Get(right_, flag), 0);
    }
}

TEST_F(RightFlags, EditingFlagsGrantReadAndOthersDoNot) {
    const Flag& read = kFlags[0];
    for (const Flag& flag : kFlags) {
        if (flag.put == read.put) continue;
        SCOPED_TRACE(flag.name);
        (right_->*read.put)(0);
        (right_->*flag.put)(5);
        EXPECT_EQ(Get(right_, read), flag.grantsRead ? 1 : 0);
        // Storing false never touches Read.
        (right_->*read.put)(1);
        (right_->*flag.put)(0);
        EXPECT_EQ(Get(right_, read), 1);
    }
}

TEST_F(RightFlags, ClearingReadLeavesTheOtherFlags) {
    right_->put_Add(1);
    right_->put_Read(0);
    LONG add = 0, read = 1;
    right_->get_Add(&add);
    right_->get_Read(&read);
    EXPECT_EQ(add, 1);
    EXPECT_EQ(read, 0);
}

TEST_F(RightFlags, FlagsAreIndependentOfEachOther) {
    for (const Flag& flag : kFlags) {
        SCOPED_TRACE(flag.name);
        for (const Flag& other : kFlags)
            (right_->*other.put)(0);
        (right_->*flag.put)(1);
        for (const Flag& other : kFlags) {
            if (&other == &flag || (flag.grantsRead && other.put == kFlags[0].put)) continue;
            EXPECT_EQ(Get(right_, other), 0) << other.name;
        }
    }
}

TEST_F(RightFlags, TheEngineSetsIdentifierAndFlagsWithoutTheReadRule) {
    object_->SetID(17);
    LONG id = 0;
    right_->get_ID(&id);
    EXPECT_EQ(id, 17);
    object_->SetFlag(RightFlag::EditPriority, true);
    EXPECT_TRUE(object_->Flag(RightFlag::EditPriority));
    EXPECT_FALSE(object_->Flag(RightFlag::Read));
    LONG priority = 0;
    right_->get_EditPriority(&priority);
    EXPECT_EQ(priority, 1);
    EXPECT_EQ(right_->get_Read(nullptr), E_POINTER);
}

TEST(RightColumns, NameEveryFlagOnceInTheRowOrder) {
    std::set<RightFlag> flags;
    std::set<std::string> columns;
    for (const RightColumn& column : kRightColumns) {
        flags.insert(column.flag);
        columns.insert(std::string(column.column));
    }
    EXPECT_EQ(flags.size(), kRightFlagCount);
    EXPECT_EQ(columns.size(), kRightFlagCount);
    EXPECT_EQ(kRightColumns[0].column, "Add");
    EXPECT_EQ(kRightColumns[1].column, "Delete");
    EXPECT_EQ(kRightColumns[2].column, "Read");
    EXPECT_EQ(kRightColumns[12].column, "EditEstimatedTime");
    EXPECT_EQ(kRightColumns[22].flag, RightFlag::Statistic);
    EXPECT_EQ(kRightColumns[22].column, "ViewStatistic");
    EXPECT_EQ(kRightColumns[32].column, "DeleteProduct");
}

} // namespace
} // namespace velmora::engine
