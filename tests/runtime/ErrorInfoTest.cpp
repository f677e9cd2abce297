// Per-thread state: initialisation counts, and one current error object per thread, handed out
// once.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

using velmora::com::Bstr;
using velmora::com::ComPtr;

TEST(Apartment, InitialisationIsCountedPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    HRESULT otherThread = E_FAIL;
    std::thread([&] {
        otherThread = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(otherThread, S_OK);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize(); // one too many is harmless
    EXPECT_EQ(CoInitialize(nullptr), S_OK) << "the count went back to zero";
    CoUninitialize();
    EXPECT_EQ(CoInitialize(reinterpret_cast<void*>(1)), E_INVALIDARG);
}

// Creates an error object with the description and makes it the thread's current one.
void Raise(const char16_t* description) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
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

// Reading hands the object out once; setting another releases the previous one.
TEST(ErrorInfo, ReadingClearsItAndSettingReleasesThePrevious) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.Put()), S_OK);
    ComPtr<IErrorInfo> first;
    ASSERT_EQ(create.As(IID_IErrorInfo, &first), S_OK);
    ASSERT_EQ(SetErrorInfo(0, first.Get()), S_OK);
    EXPECT_EQ(first->AddRef(), 4u); // our two references plus the thread's
    first->Release();
    Raise(u"second");
    EXPECT_EQ(first->AddRef(), 3u) << "the thread let go of the first";
    first->Release();

    EXPECT_EQ(TakeDescription(), "second");
    IErrorInfo* info = reinterpret_cast<IErrorInfo*>(0x1);
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
    EXPECT_EQ(info, nullptr);

    Raise(u"dropped");
    EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
    EXPECT_EQ(TakeDescription(), "<none>");
    EXPECT_EQ(GetErrorInfo(1, &info), E_INVALIDARG);
    EXPECT_EQ(GetErrorInfo(0, nullptr), E_INVALIDARG);
    EXPECT_EQ(CreateErrorInfo(nullptr), E_INVALIDARG);
}

TEST(ErrorInfo, EachThreadHasItsOwn) {
    Raise(u"main thread");
    std::string seenByOther, otherOwn;
    std::thread([&] {
        seenByOther = TakeDescription();
        Raise(u"other thread");
        otherOwn = TakeDescription();
        Raise(u"left behind at thread exit");
    }).join();
    EXPECT_EQ(seenByOther, "<none>");
    EXPECT_EQ(otherOwn, "other thread");
    EXPECT_EQ(TakeDescription(), "main thread");
}

} // namespace
