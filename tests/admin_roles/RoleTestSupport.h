#pragma once
// A session logged in as the administrator on a fresh seed database, with the administration
// object and helpers to build roles and users and to read the database behind the engine's back.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/admin/Admin.h"
#include "engine/admin/LookupLists.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/RoleSet.h"
#include "engine/admin/User.h"
#include "engine/admin/UserSet.h"
#include "engine/com/EngineObjects.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

using engine::CAdmin;
using engine::CRole;
using engine::CRoleSet;
using engine::CUser;
using engine::CUserSet;

class RoleTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        admin_ = engine::CreateObject<CAdmin>();
    }
    void TearDown() override {
        admin_.Reset();
        SessionTest::TearDown();
    }

    int Counter(const std::string& column) {
        return std::stoi(Query("SELECT " + column + " FROM tNextID"));
    }

    static ComPtr<CRole> NewRole(const std::string& name) {
        auto role = engine::CreateObject<CRole>();
        role->put_Name(Bstr(name).Get());
        role->put_Description(Bstr("about " + name).Get());
        return role;
    }
    static ComPtr<CUser> NewUser(const std::string& login, const std::string& password = "") {
        auto user = engine::CreateObject<CUser>();
        user->put_LoginName(Bstr(login).Get());
        user->put_UserName(Bstr("Name of " + login).Get());
        user->put_Password(Bstr(password).Get());
        return user;
    }
    // Stored through a fresh role set; returns the new ID.
    LONG StoreRole(const std::string& name) {
        auto set = engine::CreateObject<CRoleSet>();
        auto role = NewRole(name);
        EXPECT_EQ(set->Add(role.Get()), S_OK) << ErrorDescription();
        return role->Data().id;
    }
    LONG StoreUser(const std::string& login, const std::string& password = "") {
        auto set = engine::CreateObject<CUserSet>();
        auto user = NewUser(login, password);
        EXPECT_EQ(set->Add(user.Get()), S_OK) << ErrorDescription();
        return user->Data().id;
    }
    static ComPtr<engine::CBugStatus> Statuses(std::initializer_list<const char*> names) {
        auto list = engine::CreateObject<engine::CBugStatus>();
        for (const char* name : names)
            list->AddEntry(name);
        return list;
    }

    ComPtr<CAdmin> admin_;
};

inline std::string Id(LONG id) {
    return std::to_string(id);
}

// The position of the item with the ID in a set's items, or -1.
template <class Items> LONG IndexOf(const Items& items, LONG id) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->Data().id == id) return static_cast<LONG>(i);
    return -1;
}

} // namespace velmora::test
