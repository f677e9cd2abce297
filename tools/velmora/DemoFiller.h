#pragma once
// Fills a new database with the demo team and its bugs through the engine's object model
// alone, logged in as Admin, the way a client program would. Every failed engine call throws
// EngineError with the engine's description.
#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "DemoPlan.h"
#include "EngineCall.h"
#include "PrivateTempDir.h"

namespace velmora::demo {

struct DemoCounts {
    int products = 0, versions = 0, classifications = 0, roles = 0, users = 0;
    int bugs = 0, features = 0, attachments = 0;
};

class DemoFiller {
  public:
    // Opens the database and logs in as Admin.
    explicit DemoFiller(const std::string& file);
    // Closes the session.
    ~DemoFiller();
    DemoFiller(const DemoFiller&) = delete;
    DemoFiller& operator=(const DemoFiller&) = delete;

    // Roles with their rights and statuses, products with versions and classifications, the
    // users with their system information and roles; Admin gets a manager role everywhere.
    void BuildTeam();
    // Adds one planned bug or feature with its attachments (after BuildTeam).
    void AddBug(const PlannedBug& bug);

    const DemoCounts& Counts() const { return counts_; }

  private:
    LONG AddRole(IRoleSet* roles, const std::string& name, const std::string& description);
    void GrantRole(LONG roleID, const std::vector<std::string>& statuses, int job);
    void AddProduct(IProductSet* products, const DemoProduct& product);
    void AddUser(IUserSet* users, const DemoUser& user);
    IBugSet* BugSetFor(int product, int version, bool feature);
    void Attach(IBug* bug, const PlannedAttachment& attachment);

    tool::PrivateTempDir files_;
    com::ComPtr<IExeContext> session_;
    com::ComPtr<IAdmin> admin_;
    std::vector<LONG> productIDs_;
    std::vector<std::vector<LONG>> versionIDs_;        // [product][version]
    std::vector<std::vector<LONG>> classificationIDs_; // [product][classification]
    std::vector<std::array<LONG, 3>> roleIDs_;         // [product][Job]
    std::vector<LONG> userIDs_;                        // [DemoUsers() index]
    // One open list per version and kind, as the client holds them.
    std::map<std::pair<LONG, bool>, com::ComPtr<IBugSet>> bugSets_;
    DemoCounts counts_;
};

} // namespace velmora::demo
