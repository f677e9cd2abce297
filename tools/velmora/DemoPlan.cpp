#include "DemoPlan.h"

#include <algorithm>
#include <cmath>

#include "DemoDate.h"
#include "DemoRandom.h"
#include "DemoTeam.h"

namespace velmora::demo {
namespace {

constexpr double kMinute = 1.0 / 1440.0;

// Status weights in the order of DemoStatuses(): New, Active, In Process, Waiting, Fixed,
// Verified, Postponed, By Design, Cannot Reproduce, Will Not Fix. Recent reports are mostly
// open; old ones mostly closed.
const std::vector<int> kRecentBug = {30, 25, 15, 6, 12, 4, 2, 2, 2, 2};
const std::vector<int> kMiddleBug = {6, 12, 10, 5, 22, 30, 5, 3, 4, 3};
const std::vector<int> kOldBug = {1, 3, 2, 2, 12, 62, 6, 4, 4, 4};
const std::vector<int> kRecentFeature = {45, 25, 15, 5, 5, 2, 3, 0, 0, 0};
const std::vector<int> kMiddleFeature = {15, 20, 15, 5, 15, 15, 10, 0, 0, 5};
const std::vector<int> kOldFeature = {5, 8, 5, 2, 15, 40, 15, 0, 0, 10};

const std::vector<std::string> kPriorities = {"Normal", "Low", "High", "Urgent"};
const std::vector<int> kBugPriorityWeights = {50, 20, 22, 8};
const std::vector<int> kFeaturePriorityWeights = {50, 35, 15, 0};
const std::vector<std::string> kSeverities = {"Normal", "Trivial", "Minor", "Major", "Critical"};
const std::vector<int> kSeverityWeights = {35, 8, 25, 24, 8};
const std::vector<std::string> kReproducibility = {"Sometimes", "Always", "Rarely",
                                                   "Unable to Reproduce"};
const std::vector<int> kReproducibilityWeights = {30, 45, 15, 10};

// A time in the working day, as a fraction of a day.
double WorkingTime(DemoRandom& random) {
    return (8 * 60 + random.Between(0, 9 * 60 + 29)) * kMinute;
}

// A moment some days after from, never after the demo's "now" and never before from.
double Later(DemoRandom& random, double from, int minDays, int maxDays) {
    // One draw per statement: the order of operands is not fixed, the order of statements is.
    const int days = random.Between(minDays, maxDays);
    double date = std::floor(from) + days + WorkingTime(random);
    if (date <= from) date = from + random.Between(5, 90) * kMinute;
    return std::min(date, kDemoNow);
}

int PickUser(DemoRandom& random, int product, Job job) {
    const std::vector<int> holders = UsersWithJob(product, job);
    return holders.empty() ? kNobody : random.Pick(holders);
}

// Someone of the product doing a job picked by weight (developer, tester, manager).
int PickByJob(DemoRandom& random, int product, const std::vector<int>& jobWeights) {
    static const Job jobs[] = {Job::Developer, Job::Tester, Job::Manager};
    return PickUser(random, product, jobs[random.Weighted(jobWeights)]);
}

// The version a fix dated fixedDate ships in: the first release from the reported version on
// that is not earlier than the fix, or the newest one.
int ShippingVersion(const DemoProduct& product, int reported, double fixedDate) {
    for (size_t i = static_cast<size_t>(reported); i < product.versions.size(); ++i)
        if (product.versions[i].releaseDate >= std::floor(fixedDate)) return static_cast<int>(i);
    return static_cast<int>(product.versions.size()) - 1;
}

void PlanReport(DemoRandom& random, PlannedBug* bug) {
    const auto& products = DemoProducts();
    std::vector<int> productWeights;
    for (const DemoProduct& product : products)
        productWeights.push_back(product.weight);
    bug->feature = random.Below(5) == 0;
    bug->product = static_cast<int>(random.Weighted(productWeights));
    const DemoProduct& product = products[bug->product];
    // Later versions are used by more people and collect more reports.
    std::vector<int> versionWeights;
    for (size_t i = 0; i < product.versions.size(); ++i)
        versionWeights.push_back(static_cast<int>(i) + 1);
    bug->version = static_cast<int>(random.Weighted(versionWeights));
    bug->classification =
        static_cast<int>(random.Below(static_cast<uint32_t>(product.classifications.size())));

    // From the beta weeks before the release until a while after the next one.
    const size_t version = static_cast<size_t>(bug->version);
    const double first = product.versions[version].releaseDate - 40;
    double last = version + 1 < product.versions.size()
                      ? product.versions[version + 1].releaseDate + 30
                      : kDemoToday;
    last = std::min(last, kDemoToday);
    const int day = random.Between(0, static_cast<int>(last - first));
    bug->reportedDate = first + day + WorkingTime(random);
    bug->reportedBy =
        PickByJob(random, bug->product,
                  bug->feature ? std::vector<int>{25, 30, 45} : std::vector<int>{25, 60, 15});
}

void PlanStatus(DemoRandom& random, PlannedBug* bug) {
    const double age = kDemoToday - bug->reportedDate;
    const std::vector<int>* weights = nullptr;
    if (age < 30)
        weights = bug->feature ? &kRecentFeature : &kRecentBug;
    else if (age < 180)
        weights = bug->feature ? &kMiddleFeature : &kMiddleBug;
    else
        weights = bug->feature ? &kOldFeature : &kOldBug;
    bug->status = DemoStatuses()[random.Weighted(*weights)];

    bug->priority =
        kPriorities[random.Weighted(bug->feature ? kFeaturePriorityWeights : kBugPriorityWeights)];
    if (bug->feature) {
        bug->severity = "Normal";
    } else {
        bug->severity = kSeverities[random.Weighted(kSeverityWeights)];
        bug->reproducibility = bug->status == "Cannot Reproduce"
                                   ? "Unable to Reproduce"
                                   : kReproducibility[random.Weighted(kReproducibilityWeights)];
    }
}

// Who touched the item last and when, the fixer and verifier where the status has them, and
// the estimate and due date of open work.
void PlanWork(DemoRandom& random, PlannedBug* bug) {
    const DemoProduct& product = DemoProducts()[bug->product];
    const std::string& status = bug->status;
    const int p = bug->product;
    if (status == "Fixed" || status == "Verified") {
        bug->fixedBy = PickUser(random, p, Job::Developer);
        bug->fixedDate = Later(random, bug->reportedDate, 1, 45);
        bug->fixedInVersion = ShippingVersion(product, bug->version, bug->fixedDate);
        bug->lastModifiedBy = bug->fixedBy;
        bug->lastModifiedDate = bug->fixedDate;
        if (status == "Verified") {
            bug->verifiedBy = PickUser(random, p, Job::Tester);
            bug->verifiedDate = Later(random, bug->fixedDate, 1, 14);
            bug->lastModifiedBy = bug->verifiedBy;
            bug->lastModifiedDate = bug->verifiedDate;
        }
    } else if (status == "New") {
        bug->lastModifiedBy = bug->reportedBy;
        bug->lastModifiedDate = bug->reportedDate;
    } else {
        std::vector<int> jobWeights = {1, 0, 1}; // Active: triaged by a developer or manager
        int minDays = 0, maxDays = 5;
        if (status == "In Process" || status == "Waiting" || status == "By Design") {
            jobWeights = {3, 0, 1};
            minDays = 1;
            maxDays = 20;
        } else if (status == "Postponed" || status == "Will Not Fix") {
            jobWeights = {0, 0, 1};
            minDays = 2;
            maxDays = 40;
        } else if (status == "Cannot Reproduce") {
            jobWeights = {1, 1, 0};
            minDays = 1;
            maxDays = 20;
        }
        bug->lastModifiedBy = PickByJob(random, p, jobWeights);
        bug->lastModifiedDate = Later(random, bug->reportedDate, minDays, maxDays);
    }

    const bool open =
        status == "New" || status == "Active" || status == "In Process" || status == "Waiting";
    const bool worked = status == "In Process" || status == "Fixed" || status == "Verified";
    if (bug->feature) {
        if (worked || status == "Active") {
            static const std::vector<int> hours = {8, 16, 24, 40, 80};
            bug->estimatedTime = random.Pick(hours) / 24.0;
        }
        if (status == "Active" || status == "In Process")
            bug->dateDue = std::floor(bug->reportedDate) + random.Between(30, 120);
    } else {
        if (worked && random.Percent(50)) {
            static const std::vector<int> hours = {1, 2, 3, 4, 6, 8, 12, 16};
            bug->estimatedTime = random.Pick(hours) / 24.0;
        }
        if (open && (bug->priority == "High" || bug->priority == "Urgent"))
            bug->dateDue = std::floor(bug->reportedDate) + random.Between(7, 21);
    }
}

void PlanAttachments(DemoRandom& random, const TextSubject& subject, PlannedBug* bug) {
    if (random.Below(10) != 0) return;
    const int count = random.Between(1, 2);
    const std::string day = FormatDateTime(bug->reportedDate).substr(0, 10);
    const std::string& slug = subject.area->slug;
    for (int i = 0; i < count; ++i) {
        PlannedAttachment file;
        const bool previousWasLog =
            !bug->attachments.empty() && bug->attachments.back().fileName.ends_with(".log");
        if (i == 1 && bug->fixedBy != kNobody) {
            file.fileName = "fix-" + slug + ".patch";
            file.content = WritePatchFile(random, subject);
            file.fileDate = bug->fixedDate - random.Between(10, 180) * kMinute;
        } else if (!bug->feature && !previousWasLog && (i == 1 || random.Percent(60))) {
            file.fileDate = bug->reportedDate - random.Between(5, 120) * kMinute;
            file.fileName = slug + "-" + day + ".log";
            file.content = WriteLogFile(random, subject, file.fileDate);
        } else {
            file.fileName = (i == 0 ? "notes-" : "more-notes-") + slug + ".txt";
            file.content = WriteNotesFile(random, subject);
            file.fileDate = std::min(bug->reportedDate + random.Between(5, 60) * kMinute, kDemoNow);
        }
        bug->attachments.push_back(std::move(file));
    }
}

PlannedBug PlanOne(DemoRandom& random) {
    PlannedBug bug;
    PlanReport(random, &bug);
    PlanStatus(random, &bug);
    PlanWork(random, &bug);

    const DemoProduct& product = DemoProducts()[bug.product];
    TextSubject subject;
    subject.product = &product;
    subject.area = &product.classifications[bug.classification];
    subject.version = product.versions[bug.version].name;
    if (bug.fixedInVersion != kNobody)
        subject.fixedVersion = product.versions[bug.fixedInVersion].name;
    subject.status = bug.status;
    subject.reproducibility = bug.reproducibility;
    subject.feature = bug.feature;
    bug.texts = WriteBugTexts(random, subject);
    PlanAttachments(random, subject, &bug);
    return bug;
}

} // namespace

const std::vector<std::string>& DemoStatuses() {
    static const std::vector<std::string> statuses = {
        "New",      "Active",    "In Process", "Waiting",          "Fixed",
        "Verified", "Postponed", "By Design",  "Cannot Reproduce", "Will Not Fix"};
    return statuses;
}

std::vector<PlannedBug> PlanBugs(int count, uint64_t seed) {
    DemoRandom random(seed);
    std::vector<PlannedBug> bugs;
    bugs.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        bugs.push_back(PlanOne(random));
    std::stable_sort(bugs.begin(), bugs.end(), [](const PlannedBug& a, const PlannedBug& b) {
        return a.reportedDate < b.reportedDate;
    });
    return bugs;
}

} // namespace velmora::demo
