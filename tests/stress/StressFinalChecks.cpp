#include "StressFinalChecks.h"

#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <velmora/ComSupport.h>

#include "DatabaseProbe.h"
#include "EngineCall.h"
#include "Fingerprint.h"
#include "engine/com/EngineObjects.h"
#include "engine/session/ExeContext.h"

namespace velmora::stress {
namespace {

using com::Bstr;
using com::ComPtr;

ComPtr<engine::CExeContext> AdministratorSession(const std::string& database,
                                                 const SeedLayout& seed) {
    auto session = engine::CreateObject<engine::CExeContext>();
    Require(session->OpenAccessDB(Bstr(database).Get()), "OpenAccessDB");
    Require(session->Login(Bstr("Admin").Get(), Bstr("").Get()), "Login Admin");
    Require(session->SetActiveProduct(seed.versionId), "SetActiveProduct");
    return session;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

std::vector<std::string> CheckAttachmentContents(const std::string& database,
                                                 const SeedLayout& seed,
                                                 const StressExpectation& expected,
                                                 const std::string& scratch) {
    std::vector<std::string> violations;
    // The attachments that must be there, by bug.
    std::map<LONG, std::set<LONG>> filesOf;
    for (const auto& [id, file] : expected.files) {
        if (!expected.deletedFiles.contains(id) && !expected.deletedBugs.contains(file.bug) &&
            expected.bugs.contains(file.bug))
            filesOf[file.bug].insert(id);
    }
    if (filesOf.empty()) return violations;
    auto session = AdministratorSession(database, seed);
    ComPtr<IBugSet> lists[2];
    Require(session->OpenBugSet(nullptr, lists[0].Put()), "OpenBugSet");
    Require(session->OpenFeatureSet(nullptr, lists[1].Put()), "OpenFeatureSet");
    for (const auto& [bugId, wanted] : filesOf) {
        const LONG type = expected.bugs.at(bugId).values.type == 0 ? 0 : 1;
        ComPtr<IBug> bug;
        ComPtr<IFileSet> files;
        ForgetLastError();
        Outcome outcome = OutcomeOf(lists[type]->GetBugByID(bugId, bug.Put()));
        if (outcome.ok) outcome = OutcomeOf(bug->get_AttachedFiles(files.Put()));
        if (!outcome.ok) {
            violations.push_back("bug " + std::to_string(bugId) +
                                 ": its attachments cannot be listed: " + outcome.message);
            continue;
        }
        std::set<LONG> seen;
        LONG count = 0;
        files->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IFile> file;
            LONG id = 0;
            if (FAILED(files->get_Item(i, file.Put())) || FAILED(file->get_ID(&id)) ||
                !wanted.contains(id))
                continue;
            seen.insert(id);
            const std::string target = scratch + "/restored-" + std::to_string(id);
            ForgetLastError();
            outcome = OutcomeOf(file->GetFile(Bstr(target).Get()));
            const std::string content = outcome.ok ? ReadWhole(target) : "";
            ::unlink(target.c_str());
            const ExpectedFile& stored = expected.files.at(id);
            if (!outcome.ok) {
                violations.push_back("attachment " + std::to_string(id) +
                                     " cannot be restored: " + outcome.message);
            } else if (Fingerprint(content) != stored.contentPrint ||
                       static_cast<LONG>(content.size()) != stored.size) {
                violations.push_back("attachment " + std::to_string(id) + " restores " +
                                     std::to_string(content.size()) +
                                     " bytes that differ from the " + std::to_string(stored.size) +
                                     " bytes attached");
            }
        }
        for (const LONG id : wanted) {
            if (!seen.contains(id))
                violations.push_back("attachment " + std::to_string(id) +
                                     " is not in the attachment list of bug " +
                                     std::to_string(bugId));
        }
    }
    return violations;
}

std::vector<std::string> CheckSynchronizedCopies(const std::string& database,
                                                 const SeedLayout& seed) {
    {
        auto session = AdministratorSession(database, seed);
        ForgetLastError();
        Require(session->Synchronize(), "Synchronize");
    }
    // Every copy beside its source, compared here: the texts compare without regard to letter
    // case in the database (on either kind), but a copy that differs in case is stale.
    struct Copy {
        const char* what;
        const char* query;
    };
    static constexpr Copy kCopies[] = {
        {"ReportedBy", "SELECT b.BugID, b.ReportedBy, u.UserName FROM tBugReport b JOIN tUser u "
                       "ON u.UserID = b.ReportedByID"},
        {"ReportedInVersion",
         "SELECT b.BugID, b.ReportedInVersion, v.VersionName FROM tBugReport b JOIN tVersion v "
         "ON v.VersionID = b.ReportedInVersionID"},
        {"Classification",
         "SELECT b.BugID, b.Classification, c.ClassName FROM tBugReport b JOIN tClassification c "
         "ON c.ClassificationID = b.ClassID"},
    };
    std::vector<std::string> violations;
    DatabaseProbe db(database);
    for (const Copy& copy : kCopies) {
        for (const auto& row : db.Rows(copy.query)) {
            if (row.at(1) == row.at(2)) continue;
            violations.push_back("after Synchronize, bug " + row.at(0) + " holds " + copy.what +
                                 " '" + row.at(1) + "' instead of '" + row.at(2) + "'");
        }
    }
    return violations;
}

} // namespace velmora::stress
