// Error information: one current error object per thread, handed out once.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <thread>

#include "TestSupport.h"

namespace {

using velmora::com::Bstr;
using velmora::com::ComPtr;

// Creates an error object with the description and source and makes it the thread's current one.
void Raise(const char16_t* description, const char16_t* source = u"Velmora.Test.1") {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetSource(const_cast<LPOLESTR>(source));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.As(IID_IErrorInfo, &info), S_OK);
    ASSERT_EQ(SetErrorInfo(0, info.Get()), S_OK);
}

std::string TakeDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info) return "<none>";
    Bstr description;
    info->GetDescription(description.Put());
    return description.Utf8();
}

TEST(ErrorInfo, ObjectCarriesWhatWasSet) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
    const GUID someInterface = IID_IDispatch;
    create->SetGUID(someInterface);
    create->SetSource(const_cast<LPOLESTR>(u"Velmora.ExeContext.1"));
    create->SetDescription(const_cast<LPOLESTR>(u"You have no right to Add bug"));
    create->SetHelpFile(nullptr);
    create->SetHelpContext(7);

    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.As(IID_IErrorInfo, &info), S_OK);
    GUID guid{};
    info->GetGUID(&guid);
    EXPECT_EQ(guid, someInterface);
    Bstr source, description, helpFile;
    info->GetSource(source.Put());
    info->GetDescription(description.Put());
    info->GetHelpFile(helpFile.Put());
    EXPECT_EQ(source.Utf8(), "Velmora.ExeContext.1");
    EXPECT_EQ(description.Utf8(), "You have no right to Add bug");
    EXPECT_EQ(helpFile.Utf8(), "");
    DWORD context = 0;
    info->GetHelpContext(&context);
    EXPECT_EQ(context, 7u);

    EXPECT_EQ(info->GetDescription(nullptr), E_INVALIDARG);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(info.As(IID_IUnknown, &unknown), S_OK);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(info.As(IID_IDispatch, &dispatch), E_NOINTERFACE);
}

TEST(ErrorInfo, ReadingClearsIt) {
    Raise(u"first");
    EXPECT_EQ(TakeDescription(), "first");
    IErrorInfo* info = reinterpret_cast<IErrorInfo*>(0x1);
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(info, nullptr);
}

TEST(ErrorInfo, SettingReplacesAndReleasesThePrevious) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
    ComPtr<IErrorInfo> first;
    ASSERT_EQ(create.As(IID_IErrorInfo, &first), S_OK);
    ASSERT_EQ(SetErrorInfo(0, first.Get()), S_OK);
    // Our two references plus the thread's.
    EXPECT_EQ(first->AddRef(), 4u);
    first->Release();
    Raise(u"second");
    EXPECT_EQ(first->AddRef(), 3u) << "the thread let go of the first";
    first->Release();
    EXPECT_EQ(TakeDescription(), "second");

    Raise(u"dropped");
    EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
    EXPECT_EQ(TakeDescription(), "<none>");
}

TEST(ErrorInfo, EachThreadHasItsOwn) {
    Raise(u"main thread");
    std::string seenByOther;
    std::string otherOwn;
    std::thread other([&] {
        seenByOther = TakeDescription();
        Raise(u"other thread");
        otherOwn = TakeDescription();
        Raise(u"left behind at thread exit");
    });
    other.join();
    EXPECT_EQ(seenByOther, "<none>");
    EXPECT_EQ(otherOwn, "other thread");
    EXPECT_EQ(TakeDescription(), "main thread");
}

TEST(ErrorInfo, RefusesBadArguments) {
    EXPECT_EQ(CreateErrorInfo(nullptr), E_INVALIDARG);
    EXPECT_EQ(GetErrorInfo(0, nullptr), E_INVALIDARG);
    IErrorInfo* info = nullptr;
    EXPECT_EQ(GetErrorInfo(1, &info), E_INVALIDARG);
    EXPECT_EQ(SetErrorInfo(1, nullptr), E_INVALIDARG);
}

} // namespace
