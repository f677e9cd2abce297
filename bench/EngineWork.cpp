#include "EngineWork.h"

#include <memory>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/bugs/Bug.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/session/ExeContext.h"

namespace velmora::bench::engine_work {
namespace {

using com::Bstr;
using com::ComPtr;

// A session logged in as Admin in the role that holds every right.
struct Session {
    explicit Session(const std::string& path) : context(engine::CreateObject<engine::CExeContext>()) {
        ok = context->OpenAccessDB(Bstr(path).Get()) == S_OK &&
             context->Login(Bstr("Admin").Get(), Bstr("").Get()) == S_OK &&
             context->SetCurRole(1) == S_OK;
    }
    ComPtr<IBugSet> OpenBugs(IBugFilterSet* filters = nullptr) {
        ComPtr<IBugSet> bugs;
        if (ok && context->OpenBugSet(filters, bugs.Put()) != S_OK) bugs.Reset();
        return bugs;
    }
    ComPtr<engine::CExeContext> context;
    bool ok = false;
};

bool ReadBug(IBugSet* bugs) {
    ComPtr<IBug> bug;
    if (bugs->get_CurItem(bug.Put()) != S_OK || !bug) return false;
    Bstr description;
    return bug->get_Description(description.Put()) == S_OK;
}

} // namespace

bool OpenCountLast(const std::string& path) {
    Session session(path);
    auto bugs = session.OpenBugs();
    LONG count = 0;
    return bugs && bugs->get_Count(&count) == S_OK && count > 0 &&
           bugs->put_Position(count - 1) == S_OK && ReadBug(bugs.Get());
}

bool Walk(const std::string& path) {
    Session session(path);
    auto bugs = session.OpenBugs();
    if (!bugs || bugs->First() != S_OK) return false;
    LONG end = 0;
    long rows = 0;
    while (bugs->IsEnd(&end) == S_OK && !end) {
        if (!ReadBug(bugs.Get()) || bugs->Next() != S_OK) return false;
        ++rows;
    }
    return rows > 0;
}

bool SortByText(const std::string& path) {
    Session session(path);
    auto bugs = session.OpenBugs();
    return bugs && bugs->Sort(ColDescription, eAsc) == S_OK && bugs->First() == S_OK &&
           ReadBug(bugs.Get());
}

bool FilterTwoConditions(const std::string& path) {
    Session session(path);
    auto bugs = session.OpenBugs();
    if (!bugs) return false;
    auto filters = engine::CreateObject<engine::CBugFilterSet>();
    for (auto [field, value] : {std::pair{"StatusName", "Active"}, {"PriorityName", "High"}}) {
        auto filter = engine::CreateObject<engine::CBugFilter>();
        filter->put_Field(Bstr(field).Get());
        com::Variant text;
        text.vt = VT_BSTR;
        text.bstrVal = com::AllocBstr(value);
        if (filter->put_Value(text) != S_OK) return false;
        filters->Add(filter.Get());
    }
    LONG count = 0;
    return bugs->put_FilterSet(filters.Get()) == S_OK && bugs->get_Count(&count) == S_OK &&
           count > 0;
}

// The open list that UpdateOne works on, as a client holds it while the user edits: opened and
// counted, since a list on screen always knows how many rows it has.
std::unique_ptr<Session> updateSession;
ComPtr<IBugSet> updateBugs;

bool PrepareUpdate(const std::string& path) {
    updateSession = std::make_unique<Session>(path);
    updateBugs = updateSession->OpenBugs();
    LONG count = 0;
    return updateBugs && updateBugs->get_Count(&count) == S_OK;
}

bool UpdateOne(int id) {
    ComPtr<IBug> bug;
    return updateBugs && updateBugs->GetBugByID(id, bug.Put()) == S_OK &&
           bug->put_Description(Bstr("changed by the benchmark").Get()) == S_OK &&
           updateBugs->Update(bug.Get()) == S_OK;
}

bool AddMany(const std::string& path, int count) {
    Session session(path);
    auto bugs = session.OpenBugs();
    if (!bugs) return false;
    for (int i = 0; i < count; ++i) {
        auto bug = engine::CreateObject<engine::CBug>();
        bug->put_Description(Bstr("added by the benchmark").Get());
        bug->put_Status(Bstr("New").Get());
        ComPtr<IBug> added;
        if (bugs->Add(bug.Get(), added.Put()) != S_OK) return false;
    }
    return true;
}

bool AttachAndRestore(const std::string& path, const std::string& file,
                      const std::string& restored) {
    Session session(path);
    auto bugs = session.OpenBugs();
    ComPtr<IBug> bug;
    ComPtr<IFileSet> files;
    ComPtr<IFile> attached;
    return bugs && bugs->GetBugByID(1, bug.Put()) == S_OK &&
           bug->get_AttachedFiles(files.Put()) == S_OK &&
           files->Add(Bstr(file).Get(), attached.Put()) == S_OK &&
           attached->GetFile(Bstr(restored).Get()) == S_OK;
}

} // namespace velmora::bench::engine_work
