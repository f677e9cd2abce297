// An outside program's view of the object model: this file is compiled as C++17 with only the
// public include directory and warnings as errors, and includes nothing but <velmora/Velmora.h>.
#include <velmora/Velmora.h>

static_assert(sizeof(eBugField) == sizeof(LONG), "enumerations are 32 bits wide");
static_assert(ColBugType == 30 && eDesc == 1 && Like == 8 && LogOr == 2 && eFeature == 1,
              "enumeration values");
static_assert(CLSID_Bug.Data1 == 0x64603919u, "class identifiers are constants");
static_assert(DIID__IAdminEvents.Data1 == 0x0BD7C6ADu, "event identifiers are constants");

namespace {

// A caller-side implementation of one interface compiles against the declared signatures.
struct LocalPriorities : IBugPriority {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_Item(LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override {
        *pVal = 3;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Remove(BSTR) override { return S_OK; }
};

} // namespace

// 3 when the header works as an outside program uses it.
int VelmoraHeaderAloneCount() {
    LocalPriorities priorities;
    IBugPriority* itf = &priorities;
    LONG count = 0;
    return SUCCEEDED(itf->get_Count(&count)) && LIBID_VELMORALib != GUID_NULL ? count : -1;
}
