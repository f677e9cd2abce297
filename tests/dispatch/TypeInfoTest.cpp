// The type information every object hands out for its interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/ModuleState.h"
#include "engine/session/ExeContext.h"

namespace velmora::test {
namespace {

class TypeInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        UINT count = 0;
        ASSERT_EQ(session_->GetTypeInfoCount(&count), S_OK);
        ASSERT_EQ(count, 1u);
        ITypeInfo* raw = nullptr;
        ASSERT_EQ(session_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &raw), S_OK);
        info_ = ComPtr<ITypeInfo>::Adopt(raw);
    }

    std::vector<std::string> Names(MEMBERID memid, UINT room = 8) {
        std::vector<BSTR> names(room, nullptr);
        UINT count = 99;
        EXPECT_EQ(info_->GetNames(memid, names.data(), room, &count), S_OK);
        std::vector<std::string> result;
        for (UINT i = 0; i < count; ++i)
            result.push_back(Bstr::Adopt(names[i]).Utf8());
        return result;
    }
    // The function description at `index`, released when the test ends.
    const FUNCDESC& Function(UINT index) {
        FUNCDESC* desc = nullptr;
        EXPECT_EQ(info_->GetFuncDesc(index, &desc), S_OK);
        functions_.push_back(desc);
        return *desc;
    }
    void TearDown() override {
        for (FUNCDESC* desc : functions_)
            info_->ReleaseFuncDesc(desc);
    }

    ComPtr<IDispatch> session_ = DispatchOf(engine::CreateObject<engine::CExeContext>());
    ComPtr<ITypeInfo> info_;
    std::vector<FUNCDESC*> functions_;
};

TEST_F(TypeInfo, DescribesTheInterfaceAndItsMembersInSlotOrder) {
    ITypeInfo* none = nullptr;
    EXPECT_EQ(session_->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
    EXPECT_EQ(none, nullptr);

    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info_->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, IID_IExeContext);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->cFuncs, 33);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    info_->ReleaseTypeAttr(attr);

    Bstr name;
    EXPECT_EQ(info_->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(name.Utf8(), "IExeContext");
    EXPECT_EQ(info_->GetDocumentation(Function(32).memid, name.Put(), nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(name.Utf8(), "ChangePsw"); // the last slot
    FUNCDESC* beyond = nullptr;
    EXPECT_EQ(info_->GetFuncDesc(33, &beyond), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(info_->GetDocumentation(4711, name.Put(), nullptr, nullptr, nullptr),
              TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeInfo, FunctionsCarryTheirDispidKindAndTypes) {
    const FUNCDESC& login = Function(6);
    EXPECT_EQ(login.memid, 7);
    EXPECT_EQ(login.invkind, INVOKE_FUNC);
    EXPECT_EQ(login.funckind, FUNC_DISPATCH);
    ASSERT_EQ(login.cParams, 2);
    EXPECT_EQ(login.lprgelemdescParam[1].tdesc.vt, VT_BSTR);
    EXPECT_EQ(login.elemdescFunc.tdesc.vt, VT_VOID);
    EXPECT_EQ(Names(7), (std::vector<std::string>{"Login", "bstrLoginName", "bstrPassword"}));
    EXPECT_EQ(Names(7, 1), std::vector<std::string>{"Login"});

    const FUNCDESC& versionId = Function(10);
    EXPECT_EQ(versionId.invkind, INVOKE_PROPERTYGET);
    EXPECT_EQ(versionId.cParams, 0);
    EXPECT_EQ(versionId.elemdescFunc.tdesc.vt, VT_I4);

    const FUNCDESC& assign = Function(16); // AssignUserClassification(long, long[], long)
    ASSERT_EQ(assign.cParams, 3);
    EXPECT_EQ(assign.lprgelemdescParam[1].tdesc.vt, VT_SAFEARRAY);
    EXPECT_EQ(assign.lprgelemdescParam[1].tdesc.lptdesc->vt, VT_I4);
    EXPECT_EQ(Function(19).elemdescFunc.tdesc.vt, VT_DISPATCH); // OpenBugSet → IBugSet

    MEMBERID ids[2] = {};
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"OPENBUGSET"), const_cast<LPOLESTR>(u"pFilterSet")};
    EXPECT_EQ(info_->GetIDsOfNames(names, 2, ids), S_OK);
    EXPECT_EQ(ids[0], 20);
    EXPECT_EQ(ids[1], 0);
}

TEST_F(TypeInfo, InvokesOnlyInstancesOfItsInterface) {
    VARIANT result;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(
        info_->Invoke(session_.Get(), 13, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(result.vt, VT_I4); // CurUserID before any login
    EXPECT_EQ(result.lVal, 0);

    auto bug = engine::CreateObject<engine::CBug>();
    EXPECT_EQ(info_->Invoke(static_cast<IBug*>(bug.Get()), 13, DISPATCH_PROPERTYGET, &none, &result,
                            nullptr, nullptr),
              E_INVALIDARG);
}

// The library stays loaded while a caller holds type information from it.
TEST_F(TypeInfo, CountsAsALiveObjectOfTheLibrary) {
    const LONG before = engine::LiveObjectCount();
    info_.Reset();
    EXPECT_EQ(engine::LiveObjectCount(), before - 1);
}

} // namespace
} // namespace velmora::test
