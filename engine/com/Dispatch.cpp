#include "engine/com/Dispatch.h"

#include <velmora/ComSupport.h>

#include "engine/com/ClassInfo.h"
#include "engine/com/DispatchArguments.h"

namespace velmora::engine::dispatch {

namespace {

OLECHAR FoldCase(OLECHAR c) {
    return c >= u'A' && c <= u'Z' ? static_cast<OLECHAR>(c - u'A' + u'a') : c;
}

// Table names are ASCII; the caller's name is a zero-terminated UTF-16 text.
bool SameName(std::string_view tableName, const OLECHAR* name) {
    if (!name) return false;
    size_t i = 0;
    for (; i < tableName.size(); ++i)
        if (name[i] == 0 || FoldCase(name[i]) != FoldCase(static_cast<OLECHAR>(tableName[i])))
            return false;
    return name[i] == 0;
}

// The position of a parameter of the member `dispid` names (its getter's, else its setter's).
DISPID FindParameter(const InterfaceTable& table, DISPID dispid, const OLECHAR* name) {
    for (const Member& member : table.members) {
        if (member.dispid != dispid) continue;
        for (size_t position = 0; position < member.parameters.size(); ++position)
            if (SameName(member.parameters[position].name, name))
                return static_cast<DISPID>(position);
    }
    return DISPID_UNKNOWN;
}

// The member a call with these flags means: a put (a put by reference only for an object
// value), or a method or getter as the flags allow, as script languages send both.
HRESULT Resolve(const InterfaceTable& table, DISPID dispid, WORD flags, const Member** found) {
    const WORD putFlags = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    const WORD callFlags = flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    if ((putFlags != 0) == (callFlags != 0) || (flags & ~(putFlags | callFlags)))
        return E_INVALIDARG;
    for (const Member& member : table.members) {
        if (member.dispid != dispid) continue;
        bool matches = false;
        switch (member.kind) {
        case MemberKind::kPut:
            matches = (putFlags & DISPATCH_PROPERTYPUT) ||
                      (putFlags && member.parameters.back().type.kind == ValueKind::kInterface);
            break;
        case MemberKind::kGet:
            matches = callFlags & DISPATCH_PROPERTYGET;
            break;
        case MemberKind::kMethod:
            matches = callFlags & DISPATCH_METHOD;
            break;
        }
        if (matches) {
            *found = &member;
            return S_OK;
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

// Fills the exception of a failed member: its status, and the description and source the
// object left in the thread's error information, which stays there for the caller as well.
void DescribeFailure(const InterfaceTable& table, HRESULT status, EXCEPINFO* exception) {
    if (!exception) return;
    com::Bstr description, source;
    IErrorInfo* info = nullptr;
    if (table.owner->supportsErrorInfo && GetErrorInfo(0, &info) == S_OK && info) {
        info->GetDescription(description.Put());
        info->GetSource(source.Put());
        SetErrorInfo(0, info);
        info->Release();
    }
    *exception = EXCEPINFO{};
    exception->scode = status;
    exception->bstrSource = source.Length() ? source.Detach() : com::AllocBstr(table.owner->progId);
    exception->bstrDescription = description.Detach();
}

} // namespace

const Member* FindMember(const InterfaceTable& table, const OLECHAR* name) {
    for (const Member& member : table.members)
        if (SameName(member.name, name)) return &member;
    return nullptr;
}

const Member* FindMember(const InterfaceTable& table, DISPID dispid) {
    for (const Member& member : table.members)
        if (member.dispid == dispid) return &member;
    return nullptr;
}

HRESULT GetIDsOfNames(const InterfaceTable& table, REFIID riid, LPOLESTR* names, UINT count,
                      DISPID* ids) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const Member* member = FindMember(table, names[0]);
    if (!member) return DISP_E_UNKNOWNNAME;
    ids[0] = member->dispid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        ids[i] = FindParameter(table, member->dispid, names[i]);
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT Invoke(const InterfaceTable& table, IDispatch* object, DISPID dispid, REFIID riid,
               WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
               UINT* argError) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const Member* member = nullptr;
    HRESULT hr = Resolve(table, dispid, flags, &member);
    if (FAILED(hr)) return hr;
    if (!params) return E_INVALIDARG;
    if (result) VariantInit(result);

    Arguments arguments;
    hr = arguments.Take(*member, *params, argError);
    if (FAILED(hr)) return hr;

    // Whatever error information is found after a failure is this call's.
    SetErrorInfo(0, nullptr);
    com::Variant value;
    hr = member->thunk(object, arguments, &value);
    if (FAILED(hr)) {
        DescribeFailure(table, hr, exception);
        return DISP_E_EXCEPTION;
    }
    if (result) {
        *result = value;
        VariantInit(&value);
    }
    return hr;
}

} // namespace velmora::engine::dispatch
