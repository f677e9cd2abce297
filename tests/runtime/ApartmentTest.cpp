// Per-thread initialisation counts.
#include <velmora/Com.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

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

} // namespace
