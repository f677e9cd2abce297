// `velmora bugs add` and `velmora bugs update`: a bug filled from the options as the client's
// editor fills it, stored through the version's list. Every name, file and right is checked
// before the first write; attachments are stored so that no bug is left with only some of
// them.
#include <time.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "BugsCommands.h"
#include "EngineCall.h"
#include "RtfWriter.h"

namespace velmora::tool {
namespace {

using com::Bstr;
using com::ComPtr;

// The changes with every name looked up in the database's lists.
struct ResolvedChanges {
    std::optional<std::string> status, priority, severity, reproducibility;
    std::optional<LONG> classificationID;
    std::vector<std::string> attachments; // absolute paths
};

// Now, in local time, as an automation date to the second.
double Now() {
    const time_t seconds = time(nullptr);
    tm local{};
    localtime_r(&seconds, &local);
    using namespace std::chrono;
    const year_month_day day{year{local.tm_year + 1900},
                             month{static_cast<unsigned>(local.tm_mon + 1)},
                             std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    const double days = static_cast<double>(sys_days{day}.time_since_epoch().count() + 25569);
    return days + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

ResolvedChanges Resolve(const BugChanges& changes, const BugsSession& session) {
    ResolvedChanges resolved;
    if (changes.status) resolved.status = MatchName(*changes.status, session.Statuses(), "status");
    if (changes.priority)
        resolved.priority = MatchName(*changes.priority, session.Priorities(), "priority");
    if (changes.severity)
        resolved.severity = MatchName(*changes.severity, session.Severities(), "severity");
    if (changes.reproducibility)
        resolved.reproducibility =
            MatchName(*changes.reproducibility, session.Reproducibilities(), "reproducibility");
    if (changes.classification) {
        std::vector<std::string> names;
        for (const NamedID& entry : session.Classifications()) {
            names.push_back(entry.name);
            if (Lowered(entry.name) == Lowered(*changes.classification))
                resolved.classificationID = entry.id;
        }
        if (!resolved.classificationID) MatchName(*changes.classification, names, "classification");
    }
    for (const std::string& path : changes.attachments) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        std::ifstream readable(path, std::ios::binary);
        if (error || !std::filesystem::is_regular_file(absolute, error) || !readable)
            throw UsageError("--attach: '" + path + "' is no readable file");
        resolved.attachments.push_back(absolute.string());
    }
    return resolved;
}

// Refuses as the engine does when the current right lacks the permission.
void RequireRight(IRight* right, HRESULT (IRight::*get)(LONG*), const std::string& action) {
    LONG allowed = 0;
    Require((right->*get)(&allowed), "reading the current right");
    if (!allowed)
        throw EngineError("You have no right to " + action + ", please contact your manager!");
}

// The rights an update of these fields needs, as the client's editor enables its controls.
void CheckEditRights(const BugChanges& changes, IRight* right) {
    const std::tuple<bool, HRESULT (IRight::*)(LONG*), const char*> needs[] = {
        {changes.description.has_value(), &IRight::get_EditDescription, "edit description"},
        {changes.priority.has_value(), &IRight::get_EditPriority, "edit priority"},
        {changes.severity.has_value(), &IRight::get_EditSeverity, "edit severity"},
        {changes.reproducibility.has_value(), &IRight::get_EditReproductive,
         "edit reproducibility"},
        {changes.classification.has_value(), &IRight::get_EditClass, "edit classification"},
        {changes.report.has_value(), &IRight::get_EditReport, "edit report"},
        {changes.recreateSteps.has_value(), &IRight::get_EditRecreateStep, "edit recreate steps"},
        {changes.workaround.has_value(), &IRight::get_EditWorkAround, "edit workaround"},
        {changes.resolution.has_value(), &IRight::get_EditResolution, "edit resolution"},
    };
    for (const auto& [given, get, action] : needs)
        if (given) RequireRight(right, get, action);
}

// A plain text as the rich text the client's editor stores: one paragraph per line.
std::string RichText(const std::string& plain) {
    demo::RtfWriter writer;
    size_t start = 0;
    while (start <= plain.size()) {
        size_t end = plain.find('\n', start);
        if (end == std::string::npos) end = plain.size();
        writer.Text(plain.substr(start, end - start)).EndParagraph();
        start = end + 1;
    }
    return writer.Document();
}

void PutText(IBug* bug, HRESULT (IBug::*put)(BSTR), const std::string& text) {
    Require((bug->*put)(Bstr(text).Get()), "filling in the bug");
}

// Writes the given fields into the bug.
void ApplyChanges(IBug* bug, const BugChanges& changes, const ResolvedChanges& resolved) {
    if (changes.description) PutText(bug, &IBug::put_Description, *changes.description);
    if (resolved.status) PutText(bug, &IBug::put_Status, *resolved.status);
    if (resolved.priority) PutText(bug, &IBug::put_Priority, *resolved.priority);
    if (resolved.severity) PutText(bug, &IBug::put_Severity, *resolved.severity);
    if (resolved.reproducibility) PutText(bug, &IBug::put_Reproductive, *resolved.reproducibility);
    if (resolved.classificationID)
        Require(bug->put_ClassificationID(*resolved.classificationID),
                "setting the classification");
    const std::pair<const std::optional<std::string>*, HRESULT (IBug::*)(BSTR)> texts[] = {
        {&changes.report, &IBug::put_Report},
        {&changes.recreateSteps, &IBug::put_RecreateStep},
        {&changes.workaround, &IBug::put_Workaround},
        {&changes.resolution, &IBug::put_Resolution},
    };
    for (const auto& [text, put] : texts)
        if (*text) PutText(bug, put, RichText(**text));
}

// What a new status records, as in the client's editor: Fixed the fixer, the date and the
// version; Verified the verifier and the date (and the fixer when none is recorded); any other
// status clears both.
void ApplyStatusRules(IBug* bug, const std::string& status, LONG user, LONG version, double now) {
    const char* what = "recording the status";
    if (status == "Fixed") {
        Require(bug->put_FixedByID(user), what);
        Require(bug->put_FixedDate(now), what);
        if (version) Require(bug->put_FixedInVersionID(version), what);
        Require(bug->put_VerifiedByID(0), what);
        Require(bug->put_VerifiedDate(0), what);
    } else if (status == "Verified") {
        LONG fixer = 0;
        Require(bug->get_FixedByID(&fixer), what);
        if (!fixer) Require(bug->put_FixedByID(user), what);
        Require(bug->put_VerifiedByID(user), what);
        Require(bug->put_VerifiedDate(now), what);
    } else {
        Require(bug->put_FixedByID(0), what);
        Require(bug->put_FixedDate(0), what);
        Require(bug->put_FixedInVersionID(0), what);
        Require(bug->put_VerifiedByID(0), what);
        Require(bug->put_VerifiedDate(0), what);
    }
}

// Stores the files as attachments of the bug and returns their IDs; on a failure removes the
// ones already stored and throws.
std::vector<LONG> Attach(IBug* bug, const std::vector<std::string>& paths) {
    std::vector<LONG> stored;
    try {
        for (const std::string& path : paths) {
            ComPtr<IFileSet> files;
            Require(bug->get_AttachedFiles(files.Put()), "listing the attachments");
            ComPtr<IFile> file;
            Require(
                RequireObject(files, "listing the attachments")->Add(Bstr(path).Get(), file.Put()),
                "attaching " + path);
            LONG id = 0;
            Require(RequireObject(file, "attaching " + path)->get_ID(&id), "attaching " + path);
            stored.push_back(id);
        }
    } catch (const EngineError&) {
        ComPtr<IFileSet> files;
        if (!stored.empty() && SUCCEEDED(bug->get_AttachedFiles(files.Put())) && files)
            for (LONG id : stored)
                files->RemoveByID(id);
        throw;
    }
    return stored;
}

} // namespace

void AddBug(const BugsCommand& command, BugsSession& session) {
    const BugChanges& changes = command.changes;
    const ResolvedChanges resolved = Resolve(changes, session);
    const ComPtr<IRight> right = session.CurrentRight();
    if (!resolved.attachments.empty())
        RequireRight(right.Get(), &IRight::get_EditAttachment, "add attachment");

    const LONG user = session.UserID();
    const LONG version = session.ActiveVersionID();
    const double now = Now();
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug, "Bug");
    Require(bug->put_BugType(command.features ? eFeature : eBug), "filling in the bug");
    // The defaults of a new bug in the client's editor.
    PutText(bug.Get(), &IBug::put_Status, "New");
    const std::pair<HRESULT (IBug::*)(BSTR), std::vector<std::string>> firsts[] = {
        {&IBug::put_Priority, session.Priorities()},
        {&IBug::put_Severity, session.Severities()},
        {&IBug::put_Reproductive, session.Reproducibilities()},
    };
    for (const auto& [put, list] : firsts)
        if (!list.empty()) PutText(bug.Get(), put, list.front());
    if (!resolved.classificationID) {
        const std::vector<NamedID> classes = session.Classifications();
        if (!classes.empty())
            Require(bug->put_ClassificationID(classes.front().id), "setting the classification");
    }
    if (version) Require(bug->put_ReportedInVersionID(version), "setting the version");
    Require(bug->put_ReportedByID(user), "setting the reporter");
    Require(bug->put_ReportedDate(now), "filling in the bug");
    Require(bug->put_LastModifiedByID(user), "filling in the bug");
    Require(bug->put_LastModifiedDate(now), "filling in the bug");
    ApplyChanges(bug.Get(), changes, resolved);
    if (resolved.status) ApplyStatusRules(bug.Get(), *resolved.status, user, version, now);

    const ComPtr<IBugSet> set = session.OpenList(command.features, nullptr);
    ComPtr<IBug> added;
    Require(set->Add(bug.Get(), added.Put()),
            command.features ? "adding the feature" : "adding the bug");
    LONG id = 0;
    Require(RequireObject(added, "adding the bug")->get_ID(&id), "adding the bug");
    try {
        Attach(added.Get(), resolved.attachments);
    } catch (const EngineError& error) {
        // A bug without the attachments it was reported with is not what was asked for.
        if (FAILED(set->RemoveByID(id)))
            throw EngineError(std::string(error.what()) + "; removing the new bug " +
                              std::to_string(id) + " again failed too: " +
                              LastErrorDescription(E_FAIL) + "; it stays without its attachments");
        throw;
    }
    set->Close();
    std::printf("%d\n", id);
}

void UpdateBug(const BugsCommand& command, BugsSession& session) {
    const BugChanges& changes = command.changes;
    const ResolvedChanges resolved = Resolve(changes, session);
    const ComPtr<IRight> right = session.CurrentRight();
    CheckEditRights(changes, right.Get());
    if (!resolved.attachments.empty())
        RequireRight(right.Get(), &IRight::get_EditAttachment, "add attachment");

    const ComPtr<IBugSet> set = session.OpenList(command.features, nullptr);
    ComPtr<IBug> bug;
    Require(set->GetBugByID(command.id, bug.Put()),
            "finding " + std::string(command.features ? "feature " : "bug ") +
                std::to_string(command.id) + " in the version");
    RequireObject(bug, "finding the bug");
    Bstr oldStatus;
    Require(bug->get_Status(oldStatus.Put()), "reading the bug");
    const LONG user = session.UserID();
    const double now = Now();
    ApplyChanges(bug.Get(), changes, resolved);
    if (resolved.status && *resolved.status != oldStatus.Utf8())
        ApplyStatusRules(bug.Get(), *resolved.status, user, session.ActiveVersionID(), now);
    Require(bug->put_LastModifiedByID(user), "filling in the bug");
    Require(bug->put_LastModifiedDate(now), "filling in the bug");

    // The attachments first: they can be taken back if the bug's row is then refused.
    const std::vector<LONG> attached = Attach(bug.Get(), resolved.attachments);
    const HRESULT updated = set->Update(bug.Get());
    if (FAILED(updated)) {
        const std::string message = LastErrorDescription(updated);
        ComPtr<IFileSet> files;
        if (!attached.empty() && SUCCEEDED(bug->get_AttachedFiles(files.Put())) && files)
            for (LONG id : attached)
                files->RemoveByID(id);
        throw EngineError("updating bug " + std::to_string(command.id) + " failed: " + message);
    }
    set->Close();
    std::printf("%d\n", command.id);
}

} // namespace velmora::tool
