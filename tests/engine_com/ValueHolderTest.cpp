// The plain value holders: a null text reads back empty, a null out-pointer is refused, a user
// keeps no reference to a classification set it is given, and engine objects are recognised.
#include <gtest/gtest.h>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/com/ClassTable.h"
#include "engine/com/EngineObjects.h"

namespace velmora::engine {
namespace {

TEST(User, NullTextsReadBackEmptyAndTheClassSetIsNotKept) {
    auto user = CreateObject<CUser>();
    ASSERT_EQ(user->put_Password(test::Text("secret").Get()), S_OK);
    EXPECT_EQ(user->Data().password, "secret");
    ASSERT_EQ(user->put_Password(nullptr), S_OK);
    com::Bstr value("x");
    ASSERT_EQ(user->get_Password(value.Put()), S_OK);
    EXPECT_EQ(value.Utf8(), "");
    EXPECT_EQ(user->get_LoginName(nullptr), E_POINTER);

    IClassificationSet* set = reinterpret_cast<IClassificationSet*>(1);
    EXPECT_EQ(user->get_ClassSet(&set), S_OK);
    EXPECT_EQ(set, nullptr);
    IClassificationSet* given = nullptr;
    ASSERT_EQ(FindClass(CLSID_ClassificationSet)
                  ->create(nullptr, IID_IClassificationSet, reinterpret_cast<void**>(&given)),
              S_OK);
    EXPECT_EQ(user->put_ClassSet(given), S_OK);
    EXPECT_EQ(given->Release(), 0u); // the user kept no reference
}

TEST(ImplementationOf, RecognisesTheEnginesOwnObjectsOnly) {
    auto user = CreateObject<CUser>();
    IUser* itf = user.Get();
    EXPECT_EQ(ImplementationOf<CUser>(itf), user.Get());
    EXPECT_EQ(ImplementationOf<CRole>(static_cast<IDispatch*>(itf)), nullptr);
    EXPECT_EQ(ImplementationOf<CUser>(static_cast<IUser*>(nullptr)), nullptr);
    auto role = CreateObject<CRole>();
    EXPECT_EQ(ImplementationOf<CUser>(static_cast<IDispatch*>(role.Get())), nullptr);
    EXPECT_EQ(ImplementationOf<CRole>(static_cast<IDispatch*>(role.Get())), role.Get());
}

} // namespace
} // namespace velmora::engine
