// The plain value holders: users, roles, versions, classifications and system information keep
// what they are given, and only the engine sets their identifiers.
#include <gtest/gtest.h>

#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/admin/UserSysInfo.h"
#include "engine/admin/Version.h"
#include "engine/com/ClassTable.h"
#include "engine/com/EngineObjects.h"

namespace velmora::engine {
namespace {

using test::Text;

// A text property: what is put is what is got, starting empty.
template <class I>
void ExpectTextProperty(I* object, HRESULT (STDMETHODCALLTYPE I::*get)(BSTR*),
                        HRESULT (STDMETHODCALLTYPE I::*put)(BSTR), const char* name) {
    SCOPED_TRACE(name);
    com::Bstr value;
    ASSERT_EQ((object->*get)(value.Put()), S_OK);
    EXPECT_EQ(value.Utf8(), "");
    const std::string text = std::string(name) + " – Wert ✓";
    ASSERT_EQ((object->*put)(Text(text).Get()), S_OK);
    ASSERT_EQ((object->*get)(value.Put()), S_OK);
    EXPECT_EQ(value.Utf8(), text);
    ASSERT_EQ((object->*put)(nullptr), S_OK);
    ASSERT_EQ((object->*get)(value.Put()), S_OK);
    EXPECT_EQ(value.Utf8(), "");
    EXPECT_EQ((object->*get)(nullptr), E_POINTER);
}
#define EXPECT_TEXT_PROPERTY(object, I, name)                                                      \
    ExpectTextProperty<I>(object, &I::get_##name, &I::put_##name, #name)

template <class I> LONG IdOf(I* object) {
    LONG id = -1;
    EXPECT_EQ(object->get_ID(&id), S_OK);
    return id;
}

TEST(User, KeepsItsTextsSeparatelyAndHoldsNoClassSet) {
    auto user = CreateObject<CUser>();
    IUser* itf = user.Get();
    EXPECT_TEXT_PROPERTY(itf, IUser, LoginName);
    EXPECT_TEXT_PROPERTY(itf, IUser, UserName);
    EXPECT_TEXT_PROPERTY(itf, IUser, Description);
    EXPECT_TEXT_PROPERTY(itf, IUser, Password);
    EXPECT_TEXT_PROPERTY(itf, IUser, EMail);
    EXPECT_TEXT_PROPERTY(itf, IUser, Position);
    EXPECT_TEXT_PROPERTY(itf, IUser, Address);
    EXPECT_TEXT_PROPERTY(itf, IUser, Phone);
    EXPECT_TEXT_PROPERTY(itf, IUser, Department);
    user->put_LoginName(Text("ada").Get());
    user->put_Password(Text("secret").Get());
    EXPECT_EQ(user->Data().loginName, "ada");
    EXPECT_EQ(user->Data().password, "secret");
    EXPECT_EQ(user->Data().userName, "");
    EXPECT_EQ(IdOf<IUser>(itf), 0);
    user->SetID(42);
    EXPECT_EQ(IdOf<IUser>(itf), 42);

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

TEST(RoleAndVersion, KeepTheirFieldsAndTheEngineSetsTheirIdentifiers) {
    auto role = CreateObject<CRole>();
    EXPECT_TEXT_PROPERTY(role.Get(), IRole, Name);
    EXPECT_TEXT_PROPERTY(role.Get(), IRole, Description);
    EXPECT_EQ(IdOf<IRole>(role.Get()), 0);
    role->SetID(7);
    EXPECT_EQ(IdOf<IRole>(role.Get()), 7);

    auto version = CreateObject<CVersion>();
    EXPECT_TEXT_PROPERTY(version.Get(), IVersion, Name);
    EXPECT_TEXT_PROPERTY(version.Get(), IVersion, Description);
    DATE date = -1;
    EXPECT_EQ(version->get_ReleaseDate(&date), S_OK);
    EXPECT_EQ(date, 0.0);
    for (DATE given : {38051.5, -693593.0, 2958465.99}) {
        EXPECT_EQ(version->put_ReleaseDate(given), S_OK);
        EXPECT_EQ(version->get_ReleaseDate(&date), S_OK);
        EXPECT_EQ(date, given);
    }
    version->SetID(3);
    EXPECT_EQ(IdOf<IVersion>(version.Get()), 3);
}

TEST(Classification, KeepsNameAndIdentifierAndReportsItsProduct) {
    auto classification = CreateObject<CClassification>();
    EXPECT_TEXT_PROPERTY(classification.Get(), IClassification, Name);
    EXPECT_EQ(classification->put_ID(12), S_OK);
    EXPECT_EQ(IdOf<IClassification>(classification.Get()), 12);
    LONG product = -1;
    EXPECT_EQ(classification->get_ProductID(&product), S_OK);
    EXPECT_EQ(product, 0);
    classification->SetProductID(4);
    EXPECT_EQ(classification->get_ProductID(&product), S_OK);
    EXPECT_EQ(product, 4);
}

TEST(UserSysInfo, KeepsItsTexts) {
    auto info = CreateObject<CUserSysInfo>();
    IUserSysInfo* itf = info.Get();
    EXPECT_TEXT_PROPERTY(itf, IUserSysInfo, OS);
    EXPECT_TEXT_PROPERTY(itf, IUserSysInfo, CPU);
    EXPECT_TEXT_PROPERTY(itf, IUserSysInfo, Note);
    info->SetID(9);
    info->SetUserID(2);
    EXPECT_EQ(IdOf<IUserSysInfo>(itf), 9);
    EXPECT_EQ(info->Data().userId, 2);
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
