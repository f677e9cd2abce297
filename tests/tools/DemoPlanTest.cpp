// The demo's plan on its own: every item consistent with its status, as the client's editor
// would have left it, and a whole team for every product. That a seed always gives the same
// plan is checked on the database the tool makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "DemoDate.h"
#include "DemoPlan.h"
#include "DemoTeam.h"

namespace velmora::demo {
namespace {

bool HoldsJob(int user, int product, Job job) {
    const auto holders = UsersWithJob(product, job);
    return std::find(holders.begin(), holders.end(), user) != holders.end();
}

bool HoldsAnyRole(int user, int product) {
    return HoldsJob(user, product, Job::Developer) || HoldsJob(user, product, Job::Tester) ||
           HoldsJob(user, product, Job::Manager);
}

TEST(DemoPlan, EveryItemIsConsistentWithItsStatus) {
    const auto plan = PlanBugs(3000, 1);
    const auto& products = DemoProducts();
    std::set<std::string> statuses;
    int features = 0, withFiles = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlannedBug& bug = plan[i];
        SCOPED_TRACE("item " + std::to_string(i) + ", " + bug.status);
        const DemoProduct& product = products[static_cast<size_t>(bug.product)];
        ASSERT_LT(static_cast<size_t>(bug.version), product.versions.size());
        ASSERT_LT(static_cast<size_t>(bug.classification), product.classifications.size());
        statuses.insert(bug.status);
        features += bug.feature;
        withFiles += !bug.attachments.empty();
        if (i > 0) {
            EXPECT_LE(plan[i - 1].reportedDate, bug.reportedDate); // IDs follow dates
        }

        const bool fixed = bug.status == "Fixed" || bug.status == "Verified";
        EXPECT_EQ(bug.fixedBy != kNobody, fixed);
        EXPECT_EQ(bug.fixedDate != 0.0, fixed);
        EXPECT_EQ(bug.fixedInVersion != kNobody, fixed);
        EXPECT_EQ(bug.verifiedBy != kNobody, bug.status == "Verified");
        EXPECT_EQ(bug.verifiedDate != 0.0, bug.status == "Verified");
        EXPECT_EQ(bug.texts.resolution.empty(),
                  !fixed && (bug.status == "New" || bug.status == "Active" ||
                             bug.status == "In Process" || bug.status == "Waiting"));
        if (fixed) {
            EXPECT_TRUE(HoldsJob(bug.fixedBy, bug.product, Job::Developer));
            EXPECT_GE(bug.fixedInVersion, bug.version);
            EXPECT_GE(bug.fixedDate, bug.reportedDate);
        }
        if (bug.verifiedBy != kNobody) {
            EXPECT_TRUE(HoldsJob(bug.verifiedBy, bug.product, Job::Tester));
            EXPECT_GE(bug.verifiedDate, bug.fixedDate);
        }
        EXPECT_TRUE(HoldsAnyRole(bug.reportedBy, bug.product));
        EXPECT_TRUE(HoldsAnyRole(bug.lastModifiedBy, bug.product));
        EXPECT_GE(bug.lastModifiedDate, bug.reportedDate);
        EXPECT_LE(
            std::max({bug.reportedDate, bug.fixedDate, bug.verifiedDate, bug.lastModifiedDate}),
            kDemoNow);
        EXPECT_GE(bug.reportedDate,
                  product.versions[static_cast<size_t>(bug.version)].releaseDate - 40);

        EXPECT_FALSE(bug.texts.description.empty());
        EXPECT_EQ(bug.texts.description.find_first_of("{}\\"), std::string::npos);
        EXPECT_EQ(bug.texts.report.rfind("{\\rtf1", 0), 0u);
        EXPECT_EQ(bug.texts.recreateStep.rfind("{\\rtf1", 0), 0u);
        EXPECT_LE(bug.attachments.size(), 2u);
        for (const PlannedAttachment& file : bug.attachments) {
            EXPECT_FALSE(file.content.empty());
            EXPECT_EQ(file.fileName.find('/'), std::string::npos);
        }
        if (bug.attachments.size() == 2) {
            EXPECT_NE(bug.attachments[0].fileName, bug.attachments[1].fileName);
        }
    }
    EXPECT_EQ(statuses.size(), DemoStatuses().size()); // every status occurs
    EXPECT_NEAR(features, 600, 90);                    // about one feature to four bugs
    EXPECT_NEAR(withFiles, 300, 60);                   // about one item in ten has files
}

TEST(DemoTeam, EveryProductHasItsWholeTeam) {
    const auto& products = DemoProducts();
    EXPECT_EQ(products.size(), 3u);
    for (size_t p = 0; p < products.size(); ++p) {
        SCOPED_TRACE(products[p].name);
        EXPECT_GE(products[p].versions.size(), 3u);
        EXPECT_GE(products[p].classifications.size(), 3u);
        for (size_t v = 1; v < products[p].versions.size(); ++v)
            EXPECT_LT(products[p].versions[v - 1].releaseDate, products[p].versions[v].releaseDate);
        EXPECT_LE(products[p].versions.back().releaseDate, kDemoToday);
        EXPECT_GE(UsersWithJob(static_cast<int>(p), Job::Developer).size(), 2u);
        EXPECT_GE(UsersWithJob(static_cast<int>(p), Job::Tester).size(), 2u);
        EXPECT_GE(UsersWithJob(static_cast<int>(p), Job::Manager).size(), 1u);
    }
    std::set<std::string> logins;
    for (const DemoUser& user : DemoUsers()) {
        EXPECT_TRUE(logins.insert(user.login).second) << user.login;
        EXPECT_LT(user.password.size(), 64u); // longer passwords are refused
    }
}

} // namespace
} // namespace velmora::demo
