#pragma once
// The fixed part of the demo database: the team's products with their versions and
// classifications, the jobs a role stands for, and the people. Bugs and features vary with the
// seed; this part does not.
#include <string>
#include <vector>

namespace velmora::demo {

enum class Job { Developer, Tester, Manager };

struct DemoVersion {
    std::string name;
    std::string description;
    double releaseDate; // automation date
};

// A functional area of a product, with what people do there (for bug titles) and what they
// ask for (for feature titles).
struct DemoClassification {
    std::string name;
    std::string slug; // lower case, for file names and log components
    std::vector<std::string> operations;
    std::vector<std::string> wishes;
};

struct DemoProduct {
    std::string name;
    std::string description;
    int weight;  // share of the bugs and features
    bool mobile; // runs on phones rather than desktops
    std::vector<DemoVersion> versions;
    std::vector<DemoClassification> classifications;
};

struct DemoSysInfo {
    std::string os, osBuild, servicePack, browser, network, cpu, memory, hardDisk, note;
};

struct DemoAssignment {
    int product; // index into DemoProducts()
    Job job;
};

struct DemoUser {
    std::string login, userName, description, email, position, department, address, phone;
    std::string password;
    DemoSysInfo sysInfo;
    std::vector<DemoAssignment> roles;
};

const std::vector<DemoProduct>& DemoProducts();
const std::vector<DemoUser>& DemoUsers();

// "developer", "tester", "manager".
const char* JobName(Job job);
// The statuses a holder of the job may set.
const std::vector<std::string>& JobStatuses(Job job);
// The role of the job in a product, e.g. "Harbor Ledger developer".
std::string RoleName(const DemoProduct& product, Job job);

// The role that administers the whole database and belongs to no product.
inline constexpr const char* kAdministratorRole = "Administrator";

// Each demo user's password is the login name followed by this text.
inline constexpr const char* kPasswordSuffix = "-demo";

// The users (indexes into DemoUsers()) who hold the job in the product, in table order.
std::vector<int> UsersWithJob(int product, Job job);

} // namespace velmora::demo
