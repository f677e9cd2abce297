// Invoke: how arguments reach a member and how its result and failures come back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "engine/admin/ClassificationSet.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/com/CoClass.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/log/Log.h"
#include "tests/engine_com/TestSupport.h"

namespace velmora::test {
namespace {

// A session that records what its members receive. Members it does not override answer
// E_NOTIMPL without error information.
class RecordingSession
    : public engine::CoClass<engine::IExeContextStub, engine::classes::ExeContext> {
  public:
    HRESULT STDMETHODCALLTYPE SetCurRole(LONG lRoleID) override {
        longs = {lRoleID};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Login(BSTR name, BSTR password) override {
        texts = {com::ToUtf8(name), com::ToUtf8(password)};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserClassification(LONG user, LONG product,
                                                    IClassificationSet** out) override {
        longs = {user, product};
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AssignUserClassification(LONG user, LONG* ids, LONG count) override {
        longs = {user, count};
        longs.insert(longs.end(), ids, ids + count);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenBugSet(IBugFilterSet* filters, IBugSet** out) override {
        received = filters;
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Synchronize() override { return S_FALSE; }

    std::vector<LONG> longs;
    std::vector<std::string> texts;
    IBugFilterSet* received = reinterpret_cast<IBugFilterSet*>(1);
};

constexpr WORD kCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

class Invoke : public ::testing::Test {
  protected:
    void SetUp() override { log::SetLogDirectoryForTesting(dir_.Path().string() + "/"); }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }

    Variant Long(LONG value) { return Variant(value); }
    Variant Array(VARTYPE element, const std::vector<Variant>& items) {
        Variant value;
        value.vt = VT_ARRAY | element;
        value.parray = SafeArrayCreateVector(element, 1, static_cast<ULONG>(items.size()));
        void* data = nullptr;
        SafeArrayAccessData(value.parray, &data);
        for (size_t i = 0; i < items.size(); ++i) {
            if (element == VT_I4)
                static_cast<LONG*>(data)[i] = items[i].lVal;
            else
                VariantCopy(&static_cast<VARIANT*>(data)[i], &items[i]);
        }
        SafeArrayUnaccessData(value.parray);
        return value;
    }

    TempDir dir_;
    ComPtr<RecordingSession> recorder_ = engine::CreateObject<RecordingSession>();
    ByName session_{DispatchOf(recorder_)};
};

TEST_F(Invoke, ConvertsArgumentsAsAutomationDoes) {
    session_.Call("SetCurRole", {TextValue(" 5 ")});
    EXPECT_EQ(recorder_->longs, std::vector<LONG>{5});

    LONG referenced = 42;
    Variant byReference;
    byReference.vt = VT_BYREF | VT_I4;
    byReference.plVal = &referenced;
    session_.Call("SetCurRole", {byReference});
    EXPECT_EQ(recorder_->longs, std::vector<LONG>{42});

    Variant truth;
    truth.vt = VT_BOOL;
    truth.boolVal = VARIANT_TRUE;
    Variant inner = TextValue("7");
    Variant toVariant;
    toVariant.vt = VT_BYREF | VT_VARIANT;
    toVariant.pvarVal = &inner;
    session_.Call("GetUserClassification", {truth, toVariant});
    EXPECT_EQ(recorder_->longs, (std::vector<LONG>{-1, 7}));

    session_.Call("Login", {Long(12), Variant()});
    EXPECT_EQ(recorder_->texts, (std::vector<std::string>{"12", ""}));
}

TEST_F(Invoke, RefusesCallsThatDoNotFitTheMember) {
    const DISPID login = session_.Id("Login");
    Outcome badText;
    session_.Invoke(session_.Id("GetUserClassification"), kCall, {Long(1), TextValue("two")},
                    &badText);
    EXPECT_EQ(badText.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(badText.argError, 0u); // the last argument comes first in DISPPARAMS
    Outcome overflow;
    session_.Invoke(session_.Id("SetCurRole"), kCall, {TextValue("99999999999")}, &overflow);
    EXPECT_EQ(overflow.hr, DISP_E_TYPEMISMATCH);
    Outcome tooFew, unknown, putToMethod, getOfMethod, badFlags;
    session_.Invoke(login, kCall, {TextValue("Admin")}, &tooFew);
    EXPECT_EQ(tooFew.hr, DISP_E_BADPARAMCOUNT);
    session_.Invoke(4711, kCall, {}, &unknown);
    EXPECT_EQ(unknown.hr, DISP_E_MEMBERNOTFOUND);
    session_.Invoke(login, DISPATCH_PROPERTYPUT, {TextValue("a"), TextValue("b")}, &putToMethod);
    EXPECT_EQ(putToMethod.hr, DISP_E_MEMBERNOTFOUND);
    session_.Invoke(login, DISPATCH_PROPERTYGET, {TextValue("a"), TextValue("b")}, &getOfMethod);
    EXPECT_EQ(getOfMethod.hr, DISP_E_MEMBERNOTFOUND);
    session_.Invoke(login, 0, {TextValue("a"), TextValue("b")}, &badFlags);
    EXPECT_EQ(badFlags.hr, E_INVALIDARG);
    EXPECT_TRUE(recorder_->texts.empty()); // nothing reached the member

    VARIANT argument = TextValue("x");
    DISPPARAMS params{&argument, nullptr, 1, 0};
    EXPECT_EQ(session_.Get()->Invoke(login, IID_IExeContext, 0, kCall, &params, nullptr, nullptr,
                                     nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(session_.Get()->Invoke(login, IID_NULL, 0, kCall, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
}

TEST_F(Invoke, NamedArgumentsGoToTheirParameters) {
    const DISPID login = session_.Id("Login");
    Outcome named;
    // Login(bstrPassword := "secret", bstrLoginName := "Admin")
    session_.Invoke(login, DISPATCH_METHOD, {TextValue("secret"), TextValue("Admin")}, &named,
                    {1, 0});
    EXPECT_EQ(named.hr, S_OK);
    EXPECT_EQ(recorder_->texts, (std::vector<std::string>{"Admin", "secret"}));

    Outcome twice, beyond;
    session_.Invoke(login, DISPATCH_METHOD, {TextValue("a"), TextValue("b")}, &twice, {1, 1});
    EXPECT_EQ(twice.hr, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(twice.argError, 1u);
    session_.Invoke(login, DISPATCH_METHOD, {TextValue("a"), TextValue("b")}, &beyond, {2});
    EXPECT_EQ(beyond.hr, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(beyond.argError, 0u);
}

TEST_F(Invoke, PropertiesAreReadAndWrittenWithTheirTypes) {
    ByName bug(DispatchOf(engine::CreateObject<engine::CBug>()));
    bug.Put("description", TextValue("Crash on save"));
    Variant description = bug.Call("Description");
    EXPECT_EQ(TextOf(description), "Crash on save");

    bug.Put("BugType", TextValue("1")); // an enumeration is a long
    Variant type = bug.Call("BugType");
    EXPECT_EQ(type.vt, VT_I4);
    EXPECT_EQ(type.lVal, eFeature);

    bug.Put("ReportedDate", TextValue("1/31/2024"));
    Variant date = bug.Call("ReportedDate");
    EXPECT_EQ(date.vt, VT_DATE);
    EXPECT_EQ(date.date, 45322.0);

    EXPECT_EQ(bug.Call("ID").vt, VT_I4);
    Outcome readOnly;
    bug.Invoke(bug.Id("ID"), DISPATCH_PROPERTYPUT, {Long(3)}, &readOnly, {DISPID_PROPERTYPUT});
    EXPECT_EQ(readOnly.hr, DISP_E_MEMBERNOTFOUND);

    // A variant argument given by reference arrives as the value it refers to.
    ByName filter(DispatchOf(engine::CreateObject<engine::CBugFilter>()));
    filter.Put("Field", TextValue("Description"));
    Bstr text("crash");
    BSTR referenced = text.Get();
    Variant byReference;
    byReference.vt = VT_BYREF | VT_BSTR;
    byReference.pbstrVal = &referenced;
    filter.Put("Value", byReference);
    EXPECT_EQ(TextOf(filter.Call("Value")), "crash");
}

TEST_F(Invoke, ObjectArgumentsAreAskedForTheNeededInterface) {
    auto filters = engine::CreateObject<engine::CBugFilterSet>();
    Variant asUnknown;
    asUnknown.vt = VT_UNKNOWN;
    asUnknown.punkVal = static_cast<IBugFilterSet*>(filters.Get());
    asUnknown.punkVal->AddRef();
    Variant result = session_.Call("OpenBugSet", {asUnknown});
    EXPECT_EQ(recorder_->received, static_cast<IBugFilterSet*>(filters.Get()));
    EXPECT_EQ(result.vt, VT_DISPATCH); // a null object comes back as a null VT_DISPATCH
    EXPECT_EQ(result.pdispVal, nullptr);

    session_.Call("OpenBugSet", {Variant()});
    EXPECT_EQ(recorder_->received, nullptr);
    recorder_->received = reinterpret_cast<IBugFilterSet*>(1);
    session_.Call("OpenBugSet", {ObjectValue(nullptr)});
    EXPECT_EQ(recorder_->received, nullptr);

    Outcome wrongObject;
    auto bug = engine::CreateObject<engine::CBug>();
    session_.Invoke(session_.Id("OpenBugSet"), kCall, {ObjectValue(bug.Get())}, &wrongObject);
    EXPECT_EQ(wrongObject.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(wrongObject.argError, 0u);

    // Scripts assign objects with a put by reference; other values are not put that way.
    ByName classes(DispatchOf(engine::CreateObject<engine::CClassificationSet>()));
    const DISPID context = classes.Id("ExeContext");
    Outcome assigned, noObject, notAnObject;
    classes.Invoke(context, DISPATCH_PROPERTYPUTREF, {ObjectValue(session_.Get())}, &assigned,
                   {DISPID_PROPERTYPUT});
    EXPECT_EQ(assigned.hr, S_OK);
    classes.Invoke(context, DISPATCH_PROPERTYPUTREF, {ObjectValue(nullptr)}, &noObject,
                   {DISPID_PROPERTYPUT});
    EXPECT_EQ(noObject.hr, DISP_E_EXCEPTION); // the set refuses a null session
    EXPECT_EQ(com::ToUtf8(noObject.exception.bstrDescription), "Set ExeContext failed!");
    ByName filter(DispatchOf(engine::CreateObject<engine::CBugFilter>()));
    filter.Invoke(filter.Id("Field"), DISPATCH_PROPERTYPUTREF, {TextValue("Description")},
                  &notAnObject, {DISPID_PROPERTYPUT});
    EXPECT_EQ(notAnObject.hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(Invoke, ArraysOfLongArriveWithTheirCount) {
    session_.Call("AssignUserClassification",
                  {Long(3), Array(VT_I4, {Long(4), Long(5), Long(6)}), Long(3)});
    EXPECT_EQ(recorder_->longs, (std::vector<LONG>{3, 3, 4, 5, 6}));
    session_.Call("AssignUserClassification",
                  {Long(3), Array(VT_VARIANT, {TextValue("7"), Long(8)}), TextValue("1")});
    EXPECT_EQ(recorder_->longs, (std::vector<LONG>{3, 1, 7}));
    session_.Call("AssignUserClassification", {Long(3), Variant(), Long(0)});
    EXPECT_EQ(recorder_->longs, (std::vector<LONG>{3, 0}));

    recorder_->longs.clear();
    // A count beyond the array would make the member read past it.
    Outcome beyond, negative, texts;
    const DISPID assign = session_.Id("AssignUserClassification");
    session_.Invoke(assign, kCall, {Long(3), Array(VT_I4, {Long(4)}), Long(2)}, &beyond);
    EXPECT_EQ(beyond.hr, E_INVALIDARG);
    EXPECT_EQ(beyond.argError, 0u);
    session_.Invoke(assign, kCall, {Long(3), Array(VT_I4, {Long(4)}), Long(-1)}, &negative);
    EXPECT_EQ(negative.hr, E_INVALIDARG);
    session_.Invoke(assign, kCall, {Long(3), Array(VT_VARIANT, {TextValue("x")}), Long(1)}, &texts);
    EXPECT_EQ(texts.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(texts.argError, 1u);
    EXPECT_TRUE(recorder_->longs.empty());
}

TEST_F(Invoke, SuccessStatusesPassAndFailuresCarryOnlyTheirOwnDescription) {
    Outcome noChange;
    session_.Invoke(session_.Id("Synchronize"), DISPATCH_METHOD, {}, &noChange);
    EXPECT_EQ(noChange.hr, S_FALSE);

    // An earlier failure's description is not passed off as this member's.
    ICreateErrorInfo* creator = nullptr;
    ASSERT_EQ(CreateErrorInfo(&creator), S_OK);
    creator->SetDescription(const_cast<LPOLESTR>(u"stale"));
    IErrorInfo* stale = nullptr;
    creator->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&stale));
    SetErrorInfo(0, stale);
    stale->Release();
    creator->Release();

    Outcome unbuilt;
    session_.Invoke(session_.Id("Close"), DISPATCH_METHOD, {}, &unbuilt);
    EXPECT_EQ(unbuilt.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(unbuilt.exception.scode, E_NOTIMPL);
    EXPECT_EQ(com::ToUtf8(unbuilt.exception.bstrSource), "Velmora.ExeContext.1");
    EXPECT_EQ(unbuilt.exception.bstrDescription, nullptr);
}

} // namespace
} // namespace velmora::test
