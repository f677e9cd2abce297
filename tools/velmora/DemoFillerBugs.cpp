// The bug part of the demo: bugs and features added through the lists of their versions, and
// the files attached to them.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "DemoDate.h"
#include "DemoFiller.h"
#include "DemoTeam.h"

namespace velmora::demo {
namespace {

using com::Bstr;
using com::ComPtr;
using tool::Require;

// The automation date (local time) as the time the file system keeps.
timespec LocalFileTime(double date) {
    const CivilTime civil = ToCivil(date);
    std::tm fields{};
    fields.tm_year = civil.year - 1900;
    fields.tm_mon = civil.month - 1;
    fields.tm_mday = civil.day;
    fields.tm_hour = civil.hour;
    fields.tm_min = civil.minute;
    fields.tm_sec = civil.second;
    fields.tm_isdst = -1;
    return {std::mktime(&fields), 0};
}

// Writes the file with fixed permissions and modification time, so that what the engine packs
// (the file's date and attributes go into the archive) does not depend on the moment or on the
// umask.
void WriteAttachmentFile(const std::string& path, const PlannedAttachment& attachment) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(attachment.content.data(),
                  static_cast<std::streamsize>(attachment.content.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + path);
    }
    const timespec time = LocalFileTime(attachment.fileDate);
    const timespec times[2] = {time, time};
    if (chmod(path.c_str(), 0644) != 0 || utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the date of " + path + ": " + std::strerror(errno));
}

} // namespace

IBugSet* DemoFiller::BugSetFor(int product, int version, bool feature) {
    const LONG versionID = versionIDs_[static_cast<size_t>(product)][static_cast<size_t>(version)];
    ComPtr<IBugSet>& set = bugSets_[{versionID, feature}];
    if (!set) {
        const DemoProduct& demo = DemoProducts()[static_cast<size_t>(product)];
        const std::string what = std::string("opening the ") + (feature ? "features" : "bugs") +
                                 " of " + demo.name + " " +
                                 demo.versions[static_cast<size_t>(version)].name;
        // A list shows the active version; the session's role there must allow adding.
        Require(session_->SetActiveProduct(versionID), what);
        Require(feature ? session_->OpenFeatureSet(nullptr, set.Put())
                        : session_->OpenBugSet(nullptr, set.Put()),
                what);
        tool::RequireObject(set, what);
    }
    return set.Get();
}

void DemoFiller::AddBug(const PlannedBug& plan) {
    const size_t p = static_cast<size_t>(plan.product);
    auto bug = tool::Create<IBug>(CLSID_Bug, IID_IBug, "Bug");
    const std::string what = "filling in a " + std::string(plan.feature ? "feature" : "bug");

    Require(bug->put_BugType(plan.feature ? eFeature : eBug), what);
    const std::pair<HRESULT (IBug::*)(BSTR), const std::string*> texts[] = {
        {&IBug::put_Description, &plan.texts.description},
        {&IBug::put_Report, &plan.texts.report},
        {&IBug::put_RecreateStep, &plan.texts.recreateStep},
        {&IBug::put_Workaround, &plan.texts.workaround},
        {&IBug::put_Resolution, &plan.texts.resolution},
        {&IBug::put_Status, &plan.status},
        {&IBug::put_Priority, &plan.priority},
        {&IBug::put_Severity, &plan.severity},
        {&IBug::put_Reproductive, &plan.reproducibility},
    };
    for (const auto& [put, value] : texts)
        Require((bug.Get()->*put)(Bstr(*value).Get()), what);

    // The identifier setters look their names up in the database.
    const auto user = [this](int index) {
        return index == kNobody ? 0 : userIDs_[static_cast<size_t>(index)];
    };
    Require(
        bug->put_ClassificationID(classificationIDs_[p][static_cast<size_t>(plan.classification)]),
        what);
    Require(bug->put_ReportedInVersionID(versionIDs_[p][static_cast<size_t>(plan.version)]), what);
    if (plan.fixedInVersion != kNobody)
        Require(bug->put_FixedInVersionID(versionIDs_[p][static_cast<size_t>(plan.fixedInVersion)]),
                what);
    Require(bug->put_ReportedByID(user(plan.reportedBy)), what);
    Require(bug->put_FixedByID(user(plan.fixedBy)), what);
    Require(bug->put_VerifiedByID(user(plan.verifiedBy)), what);
    Require(bug->put_LastModifiedByID(user(plan.lastModifiedBy)), what);

    const std::pair<HRESULT (IBug::*)(DATE), double> dates[] = {
        {&IBug::put_ReportedDate, plan.reportedDate},
        {&IBug::put_FixedDate, plan.fixedDate},
        {&IBug::put_VerifiedDate, plan.verifiedDate},
        {&IBug::put_LastModifiedDate, plan.lastModifiedDate},
        {&IBug::put_EstimatedTime, plan.estimatedTime},
        {&IBug::put_DateDue, plan.dateDue},
    };
    for (const auto& [put, value] : dates)
        Require((bug.Get()->*put)(value), what);

    ComPtr<IBug> added;
    Require(BugSetFor(plan.product, plan.version, plan.feature)->Add(bug.Get(), added.Put()),
            std::string("adding a ") + (plan.feature ? "feature" : "bug"));
    ++(plan.feature ? counts_.features : counts_.bugs);
    for (const PlannedAttachment& attachment : plan.attachments)
        Attach(tool::RequireObject(added, "adding a bug"), attachment);
}

void DemoFiller::Attach(IBug* bug, const PlannedAttachment& attachment) {
    const std::string path = files_.File(attachment.fileName);
    WriteAttachmentFile(path, attachment);
    ComPtr<IFileSet> files;
    Require(bug->get_AttachedFiles(files.Put()), "listing the attachments of a bug");
    ComPtr<IFile> stored;
    Require(tool::RequireObject(files, "listing the attachments of a bug")
                ->Add(Bstr(path).Get(), stored.Put()),
            "attaching " + attachment.fileName);
    std::filesystem::remove(path);
    ++counts_.attachments;
}

} // namespace velmora::demo
