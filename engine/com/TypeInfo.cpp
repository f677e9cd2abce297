#include "engine/com/TypeInfo.h"

#include <cstring>

#include <velmora/ComSupport.h>

#include "engine/com/ClassInfo.h"
#include "engine/com/Dispatch.h"
#include "engine/com/LiveObject.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/generated/ClassInfos.h"

namespace velmora::engine::dispatch {

namespace {

// The type a value has on the dispatch side. An array of long is a SAFEARRAY of VT_I4 (the
// element type is filled in by the caller); enumerations are described as plain VT_I4 and
// objects as VT_DISPATCH, since every interface of the engine is dual.
VARTYPE DispatchType(ValueKind kind) {
    switch (kind) {
    case ValueKind::kNone:
        return VT_VOID;
    case ValueKind::kText:
        return VT_BSTR;
    case ValueKind::kInt:
        return VT_INT;
    case ValueKind::kDate:
        return VT_DATE;
    case ValueKind::kVariant:
        return VT_VARIANT;
    case ValueKind::kLongArray:
        return VT_SAFEARRAY;
    case ValueKind::kInterface:
        return VT_DISPATCH;
    case ValueKind::kLong:
    case ValueKind::kEnumeration:
        break;
    }
    return VT_I4;
}

INVOKEKIND InvokeKindOf(MemberKind kind) {
    switch (kind) {
    case MemberKind::kGet:
        return INVOKE_PROPERTYGET;
    case MemberKind::kPut:
        return INVOKE_PROPERTYPUT;
    case MemberKind::kMethod:
        break;
    }
    return INVOKE_FUNC;
}

// A caller-held description lives in one block from CoTaskMemAlloc, freed by its Release….
template <class T> T* AllocateZeroed(size_t bytes) {
    void* block = CoTaskMemAlloc(bytes);
    if (block) std::memset(block, 0, bytes);
    return static_cast<T*>(block);
}

// Functions of IDispatch (7 slots) come before the interface's own in its function table.
constexpr size_t kDispatchSlots = 7;

class TypeInfo final : public LiveObject<ITypeInfo, IID_ITypeInfo> {
  public:
    explicit TypeInfo(const InterfaceTable& table) : table_(table) {}

    HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
        if (!ppTypeAttr) return E_INVALIDARG;
        *ppTypeAttr = nullptr;
        auto* attr = AllocateZeroed<TYPEATTR>(sizeof(TYPEATTR));
        if (!attr) return E_OUTOFMEMORY;
        const TypeLibraryInfo& library = classes::kTypeLibrary;
        attr->guid = *table_.iid;
        attr->lcid = static_cast<LCID>(library.lcid);
        attr->memidConstructor = MEMBERID_NIL;
        attr->memidDestructor = MEMBERID_NIL;
        attr->cbSizeInstance = sizeof(void*);
        attr->typekind = TKIND_DISPATCH;
        attr->cFuncs = static_cast<WORD>(table_.members.size());
        attr->cImplTypes = 1; // IDispatch
        attr->cbSizeVft = static_cast<WORD>(kDispatchSlots * sizeof(void*));
        attr->cbAlignment = alignof(void*);
        attr->wTypeFlags = TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
        attr->wMajorVerNum = static_cast<WORD>(library.majorVersion);
        attr->wMinorVerNum = static_cast<WORD>(library.minorVersion);
        attr->tdescAlias.vt = VT_EMPTY;
        *ppTypeAttr = attr;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
        if (!ppFuncDesc) return E_INVALIDARG;
        *ppFuncDesc = nullptr;
        if (index >= table_.members.size()) return TYPE_E_ELEMENTNOTFOUND;
        const Member& member = table_.members[index];
        const size_t count = member.parameters.size();
        // The description, then its parameters, then the element types of array parameters.
        auto* desc = AllocateZeroed<FUNCDESC>(sizeof(FUNCDESC) + count * sizeof(ELEMDESC) +
                                              count * sizeof(TYPEDESC));
        if (!desc) return E_OUTOFMEMORY;
        auto* params = reinterpret_cast<ELEMDESC*>(desc + 1);
        auto* elements = reinterpret_cast<TYPEDESC*>(params + count);
        for (size_t i = 0; i < count; ++i) {
            const ValueKind kind = member.parameters[i].type.kind;
            params[i].tdesc.vt = DispatchType(kind);
            if (kind == ValueKind::kLongArray) {
                elements[i].vt = VT_I4;
                params[i].tdesc.lptdesc = &elements[i];
            }
            params[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
        }
        desc->memid = member.dispid;
        desc->lprgelemdescParam = count ? params : nullptr;
        desc->funckind = FUNC_DISPATCH;
        desc->invkind = InvokeKindOf(member.kind);
        desc->callconv = CC_STDCALL;
        desc->cParams = static_cast<SHORT>(count);
        desc->oVft = static_cast<SHORT>((kDispatchSlots + index) * sizeof(void*));
        desc->elemdescFunc.tdesc.vt = DispatchType(member.result.kind);
        *ppFuncDesc = desc;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames,
                                       UINT* pcNames) override {
        if (!rgBstrNames || !pcNames) return E_INVALIDARG;
        *pcNames = 0;
        const Member* member = FindMember(table_, memid);
        if (!member) return TYPE_E_ELEMENTNOTFOUND;
        UINT filled = 0;
        if (filled < cMaxNames) rgBstrNames[filled++] = com::AllocBstr(member->name);
        for (const Parameter& parameter : member->parameters)
            if (filled < cMaxNames) rgBstrNames[filled++] = com::AllocBstr(parameter.name);
        *pcNames = filled;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames,
                                            MEMBERID* pMemId) override {
        return dispatch::GetIDsOfNames(table_, IID_NULL, rgszNames, cNames, pMemId);
    }

    // Named dispatch on an instance of the interface; the instance is asked for the interface
    // first, so that a pointer to anything else is refused instead of called.
    HRESULT STDMETHODCALLTYPE Invoke(void* pvInstance, MEMBERID memid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
        if (!pvInstance) return E_INVALIDARG;
        void* typed = nullptr;
        if (FAILED(static_cast<IUnknown*>(pvInstance)->QueryInterface(*table_.iid, &typed)) ||
            !typed)
            return E_INVALIDARG;
        auto instance = com::ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(typed));
        return dispatch::Invoke(table_, instance.Get(), memid, IID_NULL, wFlags, pDispParams,
                                pVarResult, pExcepInfo, puArgErr);
    }

    // The name of the interface (MEMBERID_NIL) or of a member; there are no help texts.
    HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName,
                                               BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                               BSTR* pBstrHelpFile) override {
        std::string_view name = table_.name;
        if (memid != MEMBERID_NIL) {
            const Member* member = FindMember(table_, memid);
            if (!member) return TYPE_E_ELEMENTNOTFOUND;
            name = member->name;
        }
        if (pBstrName) *pBstrName = com::AllocBstr(name);
        if (pBstrDocString) *pBstrDocString = nullptr;
        if (pdwHelpContext) *pdwHelpContext = 0;
        if (pBstrHelpFile) *pBstrHelpFile = nullptr;
        return S_OK;
    }

    void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override {
        CoTaskMemFree(pTypeAttr);
    }
    void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) override {
        CoTaskMemFree(pFuncDesc);
    }

    // Not described: compilation, variables, implemented types, entry points, the library.
    HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override {
        return NotImplemented(ppTComp);
    }
    HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC** ppVarDesc) override {
        return NotImplemented(ppVarDesc);
    }
    HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo** ppTInfo) override {
        return NotImplemented(ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, void** ppv) override {
        return NotImplemented(ppv);
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** ppvObj) override {
        return NotImplemented(ppvObj);
    }
    HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* pBstrMops) override {
        return NotImplemented(pBstrMops);
    }
    HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** ppTLib, UINT*) override {
        return NotImplemented(ppTLib);
    }
    void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

  private:
    template <class T> static HRESULT NotImplemented(T** out) {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

    const InterfaceTable& table_;
};

} // namespace

HRESULT GetTypeInfo(const InterfaceTable& table, UINT index, ITypeInfo** typeInfo) {
    if (!typeInfo) return E_INVALIDARG;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return Guard([&] {
        auto* info = new TypeInfo(table);
        info->AddRef();
        *typeInfo = info;
        return S_OK;
    });
}

} // namespace velmora::engine::dispatch
