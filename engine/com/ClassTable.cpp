#include "engine/com/ClassTable.h"

#include <utility>

#include "engine/admin/Admin.h"
#include "engine/admin/Classification.h"
#include "engine/admin/ClassificationSet.h"
#include "engine/admin/LookupLists.h"
#include "engine/admin/Product.h"
#include "engine/admin/ProductSet.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/RoleSet.h"
#include "engine/admin/User.h"
#include "engine/admin/UserSet.h"
#include "engine/admin/UserSysInfo.h"
#include "engine/admin/Version.h"
#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/bugs/BugSet.h"
#include "engine/bugs/FileSet.h"
#include "engine/com/ClassFactory.h"
#include "engine/com/EngineObjects.h"
#include "engine/log/SysLog.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {

namespace {

template <class T> constexpr ClassEntry EntryOf() {
    return {&T::Info(), &CreateInstance<T>};
}

template <size_t... Index>
std::array<ClassFactory, kClassCount> MakeFactories(std::index_sequence<Index...>) {
    return {ClassFactory(ClassTable()[Index])...};
}

} // namespace

const std::array<ClassEntry, kClassCount>& ClassTable() {
    static const std::array<ClassEntry, kClassCount> table = {
        EntryOf<CExeContext>(),
        EntryOf<CAdmin>(),
        EntryOf<CBug>(),
        EntryOf<CBugSet>(),
        EntryOf<CBugFilter>(),
        EntryOf<CBugFilterSet>(),
        EntryOf<CAttachFile>(),
        EntryOf<CFileSet>(),
        EntryOf<CProduct>(),
        EntryOf<CProductSet>(),
        EntryOf<CVersion>(),
        EntryOf<CClassification>(),
        EntryOf<CClassificationSet>(),
        EntryOf<CRole>(),
        EntryOf<CRoleSet>(),
        EntryOf<CRight>(),
        EntryOf<CUser>(),
        EntryOf<CUserSet>(),
        EntryOf<CUserSysInfo>(),
        EntryOf<CBugPriority>(),
        EntryOf<CBugSeverity>(),
        EntryOf<CBugStatus>(),
        EntryOf<CBugReproductive>(),
        EntryOf<CSysLog>(),
    };
    return table;
}

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& entry : ClassTable())
        if (entry.info->clsid == clsid) return &entry;
    return nullptr;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const ClassEntry* entry = FindClass(clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    // One factory per class, made on first request and kept for reuse.
    static std::array<ClassFactory, kClassCount> factories =
        MakeFactories(std::make_index_sequence<kClassCount>{});
    ClassFactory& factory = factories[static_cast<size_t>(entry - ClassTable().data())];
    return factory.QueryInterface(riid, ppv);
}

} // namespace velmora::engine
