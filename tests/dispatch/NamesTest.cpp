// GetIDsOfNames: members and their parameters found by name, without regard to case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "engine/bugs/Bug.h"
#include "engine/com/ClassTable.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/generated/DispatchTables.h"
#include "engine/session/ExeContext.h"

namespace velmora::test {
namespace {

// The DISPIDs of the names, and the status of the call.
struct Lookup {
    HRESULT hr;
    std::vector<DISPID> ids;
};
Lookup IdsOf(IDispatch* object, const std::vector<std::u16string>& names, REFIID riid = IID_NULL) {
    std::vector<LPOLESTR> pointers;
    for (const std::u16string& name : names)
        pointers.push_back(const_cast<LPOLESTR>(name.c_str()));
    Lookup lookup{E_UNEXPECTED, std::vector<DISPID>(names.size(), 4711)};
    lookup.hr = object->GetIDsOfNames(riid, pointers.data(), static_cast<UINT>(names.size()),
                                      LOCALE_USER_DEFAULT, lookup.ids.data());
    return lookup;
}

class Names : public ::testing::Test {
  protected:
    ComPtr<IDispatch> session_ = DispatchOf(engine::CreateObject<engine::CExeContext>());
};

TEST_F(Names, MembersAndParametersAreFoundWithoutRegardToCase) {
    for (const char16_t* name : {u"Login", u"login", u"LOGIN", u"lOgIn"}) {
        const Lookup lookup = IdsOf(session_.Get(), {name});
        EXPECT_EQ(lookup.hr, S_OK);
        EXPECT_EQ(lookup.ids, std::vector<DISPID>{7});
    }
    const Lookup parameters = IdsOf(session_.Get(), {u"login", u"BSTRPASSWORD", u"bstrLoginName"});
    EXPECT_EQ(parameters.hr, S_OK);
    EXPECT_EQ(parameters.ids, (std::vector<DISPID>{7, 1, 0}));

    // A getter and a setter share their name and DISPID; the setter's value is its parameter.
    ComPtr<IDispatch> bug = DispatchOf(engine::CreateObject<engine::CBug>());
    const Lookup property = IdsOf(bug.Get(), {u"description", u"newVal"});
    EXPECT_EQ(property.hr, S_OK);
    EXPECT_EQ(property.ids, (std::vector<DISPID>{2, 0}));
}

TEST_F(Names, UnknownNamesAreMarkedOneByOne) {
    const Lookup parameter = IdsOf(session_.Get(), {u"Login", u"bstrPassword", u"nope"});
    EXPECT_EQ(parameter.hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(parameter.ids, (std::vector<DISPID>{7, 1, DISPID_UNKNOWN}));
    const Lookup member = IdsOf(session_.Get(), {u"Logins", u"bstrPassword"});
    EXPECT_EQ(member.hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(member.ids, (std::vector<DISPID>{DISPID_UNKNOWN, DISPID_UNKNOWN}));
    // Neither a prefix nor the name of an out-value is a name of the member.
    EXPECT_EQ(IdsOf(session_.Get(), {u"Log"}).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdsOf(session_.Get(), {u"OpenBugSet", u"ppBugSet"}).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdsOf(session_.Get(), {u""}).hr, DISP_E_UNKNOWNNAME);

    LPOLESTR nothing[] = {nullptr};
    DISPID id = 0;
    EXPECT_EQ(session_->GetIDsOfNames(IID_NULL, nothing, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(session_->GetIDsOfNames(IID_NULL, nothing, 0, 0, &id), E_INVALIDARG);
    // Only the null interface identifier is accepted.
    EXPECT_EQ(IdsOf(session_.Get(), {u"Login"}, IID_IExeContext).hr, DISP_E_UNKNOWNINTERFACE);
}

// Every class answers every member of its interface by name, with the member's DISPID.
TEST(DispatchTables, EveryClassFindsEveryMemberOfItsInterface) {
    for (const engine::ClassEntry& entry : engine::ClassTable()) {
        SCOPED_TRACE(std::string(entry.info->name));
        IDispatch* raw = nullptr;
        ASSERT_EQ(entry.create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&raw)), S_OK);
        auto object = ComPtr<IDispatch>::Adopt(raw);
        const engine::dispatch::InterfaceTable* table = nullptr;
        for (const engine::dispatch::InterfaceTable* candidate : engine::dispatch::AllTables())
            if (*candidate->iid == entry.info->iid) table = candidate;
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->owner, entry.info);
        for (const engine::dispatch::Member& member : table->members) {
            const Lookup lookup = IdsOf(object.Get(), {com::ToUtf16(member.name)});
            EXPECT_EQ(lookup.ids, std::vector<DISPID>{member.dispid}) << member.name;
        }
    }
}

} // namespace
} // namespace velmora::test
