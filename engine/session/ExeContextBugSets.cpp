// The session's bug and feature lists: a bug set bound to the session, opened on the caller's
// conditions followed by a group that keeps the rows of the active version and one bug type.

#include "engine/admin/Permission.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/bugs/BugSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

// What differs between the bug list and the feature list.
struct ListKind {
    tagBugType bugType;
    GuardedAction view;
    const char* noRightLogText; // logged when the current right cannot be read
    const char* openFailed;
};

constexpr ListKind kBugList = {
    eBug,
    {RightFlag::Read, "view bug", "CExeContext::OpenBugSet", "No right to perform this action"},
    "No right returned",
    "Open bug failed!"};
constexpr ListKind kFeatureList = {eFeature,
                                   {RightFlag::Read, "view feature", "CExeContext::OpenFeatureSet",
                                    "You have no right to view features"},
                                   "You have no right to view features",
                                   "Open Feature failed!"};

// A filter "field = value" joined with And.
ComPtr<IBugFilter> EqualFilter(const char* field, const VARIANT& value) {
    auto filter = CreateObject<CBugFilter>();
    filter->put_Field(com::Bstr(field).Get());
    filter->put_Condition(Equal);
    filter->put_Value(value);
    filter->put_AndOr(LogAnd);
    return ComPtr<IBugFilter>(filter.Get());
}

// The caller's filters, then a new group: ReportedInVersionID = the active version and
// BugType = the list's type.
bool BuildListFilters(IBugFilterSet* callerFilters, LONG activeVersionID, tagBugType bugType,
                      IBugFilterSet* filters) {
    if (callerFilters) {
        LONG count = 0;
        if (FAILED(callerFilters->get_Count(&count))) return false;
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IBugFilter> filter;
            if (FAILED(callerFilters->get_Item(i, filter.Put())) ||
                FAILED(filters->Add(filter.Get())))
                return false;
        }
    }
    const com::Variant version(activeVersionID);
    com::Variant type;
    type.vt = VT_UI1;
    type.bVal = static_cast<BYTE>(bugType);
    return SUCCEEDED(filters->put_NewGroup(1)) &&
           SUCCEEDED(filters->Add(EqualFilter("ReportedInVersionID", version).Get())) &&
           SUCCEEDED(filters->Add(EqualFilter("BugType", type).Get()));
}

HRESULT OpenList(CExeContext* session, const ListKind& kind, IBugFilterSet* callerFilters,
                 IBugSet** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const ClassInfo& cls = CExeContext::Info();
    if (const HRESULT refused = CheckSessionPermission(
            session, cls, kind.view, RightPath::ThroughCurrentRole, kind.noRightLogText);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        auto bugSet = CreateObject<CBugSet>();
        bugSet->SetContext(session);
        auto filters = CreateObject<CBugFilterSet>();
        LONG activeVersionID = 0;
        session->get_ActiveVersionID(&activeVersionID);
        if (!BuildListFilters(callerFilters, activeVersionID, kind.bugType, filters.Get()) ||
            FAILED(bugSet->Open(filters.Get())))
            return Fail(cls, kind.openFailed);
        return ReturnObject<IBugSet>(bugSet, out);
    });
}

} // namespace

HRESULT CExeContext::OpenBugSet(IBugFilterSet* pFilterSet, IBugSet** ppBugSet) {
    return OpenList(this, kBugList, pFilterSet, ppBugSet);
}

HRESULT CExeContext::OpenFeatureSet(IBugFilterSet* pFilterSet, IBugSet** ppBugSet) {
    return OpenList(this, kFeatureList, pFilterSet, ppBugSet);
}

} // namespace velmora::engine
