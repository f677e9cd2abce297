// A stress worker's bug, feature and attachment operations.
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "Fingerprint.h"
#include "StressWorkerOps.h"
#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"

namespace velmora::stress {
namespace {

using com::Bstr;
using com::ComPtr;

constexpr const char* kPriorities[] = {"Normal", "Low", "High", "Urgent"};
constexpr size_t kLongestReport = 3000;
constexpr size_t kLargestFile = 20000;

} // namespace

LONG StressOperations::ListedBug() {
    IBugSet* list = session_.List(0);
    LONG count = 0;
    if (FAILED(list->Refresh()) || FAILED(list->get_Count(&count)) || count == 0) return 0;
    ComPtr<IBug> bug;
    LONG id = 0;
    if (SUCCEEDED(list->put_Position(static_cast<LONG>(Pick(static_cast<size_t>(count))))) &&
        SUCCEEDED(list->get_CurItem(bug.Put())) && bug)
        bug->get_ID(&id);
    return id;
}

Outcome StressOperations::FetchBug(LONG id, LONG type, ComPtr<IBug>* bug) {
    IBugSet* list = session_.List(type);
    ForgetLastError();
    Outcome outcome = OutcomeOf(list->GetBugByID(id, bug->Put()));
    if (outcome.ok) return outcome;
    // Rows added or removed by other workers show after a refresh.
    list->Refresh();
    ForgetLastError();
    return OutcomeOf(list->GetBugByID(id, bug->Put()));
}

void StressOperations::ForgetBug(LONG id) {
    std::erase_if(bugs_, [id](const OwnBug& bug) { return bug.id == id; });
    std::erase_if(files_, [id](const OwnFile& file) { return file.bug == id; });
}

JournalRecord StressOperations::AddBug() {
    const LONG type = Pick(4) == 0 ? 1 : 0; // one in four is a feature request
    const std::string description = Tag();
    const std::string report = PatternBytes(Random(), Pick(kLongestReport + 1), true);
    const std::string priority = kPriorities[Pick(std::size(kPriorities))];
    const LONG classId = plan_.classIds[Pick(plan_.classIds.size())];
    JournalRecord record = Begin(op::kAddBug);
    record.Set("type", type)
        .Set("desc", description)
        .Set("rep", Fingerprint(report))
        .Set("pri", priority);

    auto bug = engine::CreateObject<engine::CBug>();
    bug->put_Description(Bstr(description).Get());
    bug->put_Report(Bstr(report).Get());
    bug->put_Priority(Bstr(priority).Get());
    bug->put_Status(Bstr("New").Get());
    bug->put_Severity(Bstr("Normal").Get());
    bug->put_ReportedByID(session_.UserId());
    bug->put_ReportedInVersionID(session_.VersionId());
    bug->put_ClassificationID(classId);
    bug->put_BugType(type == 0 ? eBug : eFeature);
    ComPtr<IBug> added;
    ForgetLastError();
    const Outcome outcome = OutcomeOf(session_.List(type)->Add(bug.Get(), added.Put()));
    if (outcome.ok) {
        LONG id = 0;
        added->get_ID(&id);
        record.Set("id", id);
        bugs_.push_back({id, type});
    }
    return Finish(record, outcome);
}

JournalRecord StressOperations::UpdateBug() {
    if (bugs_.empty()) return AddBug();
    const OwnBug target = bugs_[Pick(bugs_.size())];
    const std::string description = Tag();
    const std::string report = PatternBytes(Random(), Pick(kLongestReport + 1), true);
    const std::string priority = kPriorities[Pick(std::size(kPriorities))];
    JournalRecord record = Begin(op::kUpdateBug);
    record.Set("id", target.id)
        .Set("desc", description)
        .Set("rep", Fingerprint(report))
        .Set("pri", priority);

    ComPtr<IBug> bug;
    Outcome outcome = FetchBug(target.id, target.type, &bug);
    if (!outcome.ok) {
        // Another worker deleted it.
        ForgetBug(target.id);
        return Finish(record, outcome);
    }
    bug->put_Description(Bstr(description).Get());
    bug->put_Report(Bstr(report).Get());
    bug->put_Priority(Bstr(priority).Get());
    IBugSet* list = session_.List(target.type);
    ForgetLastError();
    outcome = OutcomeOf(list->Update(bug.Get()));
    // A refused update (the row changed since the list read it) is retried on fresh rows later.
    if (!outcome.ok) list->Refresh();
    return Finish(record, outcome);
}

JournalRecord StressOperations::DeleteBug() {
    LONG id = 0;
    LONG type = 0;
    const bool own = !bugs_.empty() && Pick(5) != 0;
    if (own) {
        const OwnBug target = bugs_[Pick(bugs_.size())];
        id = target.id;
        type = target.type;
    } else {
        id = ListedBug();
        if (id == 0) return AddBug();
    }
    JournalRecord record = Begin(op::kDeleteBug);
    record.Set("id", id).Set("own", own ? 1 : 0);
    ForgetLastError();
    const Outcome outcome = OutcomeOf(session_.List(type)->RemoveByID(id));
    if (outcome.ok || own) ForgetBug(id);
    return Finish(record, outcome);
}

JournalRecord StressOperations::AttachFile() {
    LONG bugId = 0;
    LONG type = 0;
    if (!bugs_.empty() && Pick(5) != 0) {
        const OwnBug target = bugs_[Pick(bugs_.size())];
        bugId = target.id;
        type = target.type;
    } else {
        bugId = ListedBug();
        if (bugId == 0) return AddBug();
    }
    const std::string name = Tag() + ".bin";
    const std::string content = PatternBytes(Random(), Pick(kLargestFile + 1), false);
    const std::string path = plan_.scratch + "/" + name;
    JournalRecord record = Begin(op::kAddFile);
    record.Set("bug", bugId)
        .Set("name", name)
        .Set("size", static_cast<int64_t>(content.size()))
        .Set("hash", Fingerprint(content));
    {
        std::ofstream file(path, std::ios::binary);
        file << content;
        if (!file) return Finish(record, Refused("cannot write " + path));
    }
    ComPtr<IBug> bug;
    Outcome outcome = FetchBug(bugId, type, &bug);
    ComPtr<IFileSet> files;
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(bug->get_AttachedFiles(files.Put()));
    }
    if (outcome.ok) {
        ComPtr<IFile> stored;
        ForgetLastError();
        outcome = OutcomeOf(files->Add(Bstr(path).Get(), stored.Put()));
        if (outcome.ok) {
            LONG id = 0;
            stored->get_ID(&id);
            record.Set("id", id);
            if (std::any_of(bugs_.begin(), bugs_.end(),
                            [bugId](const OwnBug& own) { return own.id == bugId; }))
                files_.push_back({id, bugId, type});
        }
    }
    ::unlink(path.c_str());
    return Finish(record, outcome);
}

JournalRecord StressOperations::RemoveFile() {
    if (files_.empty()) return AttachFile();
    const size_t index = Pick(files_.size());
    const OwnFile target = files_[index];
    JournalRecord record = Begin(op::kRemoveFile);
    record.Set("id", target.id).Set("bug", target.bug);
    ComPtr<IBug> bug;
    Outcome outcome = FetchBug(target.bug, target.type, &bug);
    ComPtr<IFileSet> files;
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(bug->get_AttachedFiles(files.Put()));
    }
    if (outcome.ok) {
        ForgetLastError();
        outcome = OutcomeOf(files->RemoveByID(target.id));
    }
    files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(index));
    return Finish(record, outcome);
}

} // namespace velmora::stress
