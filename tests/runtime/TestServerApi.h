#pragma once
// The one class of the test server library: a counter that can also fail with a description.
#include <velmora/Com.h>

// {3F9A1C52-7B4E-4D21-9C0A-6E5F2B8D1A47}
inline constexpr CLSID CLSID_TestCounter = {
    0x3F9A1C52, 0x7B4E, 0x4D21, {0x9C, 0x0A, 0x6E, 0x5F, 0x2B, 0x8D, 0x1A, 0x47}};
// {A1B2C3D4-1111-4A5B-8C9D-0E1F2A3B4C5D}
inline constexpr IID IID_ITestCounter = {
    0xA1B2C3D4, 0x1111, 0x4A5B, {0x8C, 0x9D, 0x0E, 0x1F, 0x2A, 0x3B, 0x4C, 0x5D}};

struct ITestCounter : IUnknown {
    // Adds one to the counter and returns the new value.
    virtual HRESULT STDMETHODCALLTYPE Increment(LONG* value) = 0;
    // Sets the calling thread's error information to the description and returns E_FAIL.
    virtual HRESULT STDMETHODCALLTYPE Fail(LPOLESTR description) = 0;
};

// Exported by the test server next to DllGetClassObject: how many counters are alive and how
// many references callers hold on its class factory.
typedef void (*TestServerOutstandingFn)(LONG* objects, LONG* factoryReferences);
