#include "DemoTeam.h"

#include "DemoDate.h"

namespace velmora::demo {
namespace {

std::vector<DemoProduct> MakeProducts() {
    return {
        {"Harbor Ledger",
         "Desktop bookkeeping for small firms: ledgers, invoices and tax reports",
         40,
         false,
         {{"1.0", "First public release", OleDate(2021, 3, 15)},
          {"1.1", "Multi-currency invoices and bank import", OleDate(2021, 10, 4)},
          {"2.0", "New report designer and cloud backup", OleDate(2022, 9, 12)},
          {"2.1", "Quarterly tax forms and faster start-up", OleDate(2023, 11, 20)}},
         {{"User Interface",
           "ui",
           {"resizing the main window", "switching between ledgers", "opening the settings dialog",
            "using keyboard shortcuts in the journal", "sorting the invoice list by date"},
           {"Dark colour scheme", "Remember the column widths of every list",
            "Undo for deleted journal entries"}},
          {"Reports",
           "reports",
           {"printing the quarterly balance report", "exporting a report to PDF",
            "opening a report with no rows", "changing the date range of a report"},
           {"Profit and loss report per project", "Schedule reports to be mailed every month"}},
          {"Import/Export",
           "import",
           {"importing a bank statement in CSV", "exporting the ledger to a spreadsheet",
            "importing invoices with accented customer names", "importing a file of 50,000 rows"},
           {"Import statements in CAMT.053 format", "Map CSV columns once and reuse the mapping"}},
          {"Database",
           "database",
           {"saving a journal entry", "restoring a cloud backup", "closing the fiscal year",
            "opening a ledger from a network share"},
           {"Automatic backup before closing the fiscal year", "Compact the data file on request"}},
          {"Installer",
           "installer",
           {"upgrading from the previous version", "installing for all users",
            "uninstalling with the ledgers kept"},
           {"Silent installation for administrators", "Check for updates at start-up"}}}},
        {"Tidewater Sync",
         "File synchronisation service with a desktop agent and a server",
         35,
         false,
         {{"3.0", "Rewritten sync engine", OleDate(2022, 2, 7)},
          {"3.1", "Selective sync and bandwidth limits", OleDate(2022, 11, 28)},
          {"3.2", "Server API version 2", OleDate(2023, 8, 21)},
          {"3.3", "Conflict viewer and faster first sync", OleDate(2024, 4, 15)}},
         {{"Sync Engine",
           "sync",
           {"syncing a folder with 20,000 small files", "renaming a folder while it syncs",
            "resuming after the laptop wakes from sleep", "syncing a file larger than 4 GB"},
           {"Pause sync while on a metered connection",
            "Sync only files changed in the last year"}},
          {"Conflict Resolution",
           "conflicts",
           {"editing the same file on two machines", "deleting a file that changed elsewhere",
            "resolving a conflict from the tray menu"},
           {"Side-by-side view of conflicting versions", "Keep both copies by default"}},
          {"Server API",
           "api",
           {"listing a folder through the REST API", "uploading with an expired token",
            "calling the API with a very long path"},
           {"Webhook when a shared folder changes", "Paging for large folder listings"}},
          {"Settings",
           "settings",
           {"changing the sync folder", "setting a bandwidth limit", "signing in with a proxy"},
           {"Export and import agent settings", "Per-folder bandwidth limits"}}}},
        {"Beacon Mobile",
         "Field service app for technicians: jobs, maps and photos, online and offline",
         25,
         true,
         {{"1.0", "First store release", OleDate(2023, 1, 16)},
          {"1.1", "Offline job lists", OleDate(2023, 6, 26)},
          {"1.2", "Photo upload in the background", OleDate(2024, 1, 22)}},
         {{"Offline Mode",
           "offline",
           {"finishing a job without a connection", "reconnecting after a day offline",
            "opening a job list cached last week"},
           {"Show when the job list was last synced", "Download tomorrow's jobs overnight"}},
          {"Maps",
           "maps",
           {"opening the route to the next job", "zooming the map with many job pins",
            "rotating the phone while the map loads"},
           {"Cluster nearby job pins", "Satellite view for rural sites"}},
          {"Login",
           "login",
           {"signing in with a saved password", "signing in after the password was changed",
            "signing out while photos upload"},
           {"Sign in with the phone's fingerprint reader", "Stay signed in for a whole week"}},
          {"Notifications",
           "notify",
           {"receiving a job change while the app is closed", "tapping an old notification"},
           {"Quiet hours for notifications", "Notify the customer when the technician leaves"}},
          {"Camera Upload",
           "camera",
           {"uploading ten photos on a slow network", "taking a photo in portrait mode",
            "attaching a photo to a closed job"},
           {"Annotate photos before upload", "Reduce photo size on mobile data"}}}},
    };
}

DemoSysInfo Workstation(const char* os, const char* build, const char* servicePack,
                        const char* browser, const char* cpu, const char* memory, const char* disk,
                        const char* note) {
    return {os,  build,  servicePack, browser, "1 Gbit/s Ethernet, office network",
            cpu, memory, disk,        note};
}

DemoUser Person(const char* login, const char* name, const char* description, const char* position,
                const char* department, const char* phone, DemoSysInfo sysInfo,
                std::vector<DemoAssignment> roles) {
    DemoUser user;
    user.login = login;
    user.userName = name;
    user.description = description;
    user.email = std::string(login) + "@example.com";
    user.position = position;
    user.department = department;
    user.address = "Pier House, 12 Quay Street, Port Ellis";
    user.phone = phone;
    user.password = std::string(login) + kPasswordSuffix;
    user.sysInfo = std::move(sysInfo);
    user.roles = std::move(roles);
    return user;
}

std::vector<DemoUser> MakeUsers() {
    constexpr int ledger = 0, sync = 1, mobile = 2;
    using enum Job;
    return {
        Person("mhart", "Maya Hart", "Leads the product team and plans the releases",
               "Engineering Manager", "Engineering", "+1 555 0100",
               Workstation("Windows 11 Pro", "22631", "23H2", "Edge 126", "Intel Core i7-1365U",
                           "32 GB", "1 TB NVMe SSD", "Laptop, docked in the office"),
               {{ledger, Manager}, {sync, Manager}, {mobile, Manager}}),
        Person("dokafor", "Daniel Okafor", "Knows the ledger's storage and the sync engine",
               "Senior Developer", "Engineering", "+1 555 0101",
               Workstation("Debian GNU/Linux 12", "6.1.0-21-amd64", "", "Firefox 115 ESR",
                           "AMD Ryzen 9 7900", "64 GB", "2 TB NVMe SSD", "Build workstation"),
               {{ledger, Developer}, {sync, Developer}}),
        Person("lchen", "Lin Chen", "Works on the sync server and the mobile app", "Developer",
               "Engineering", "+1 555 0102",
               Workstation("macOS 14 Sonoma", "23F79", "14.5", "Safari 17.5", "Apple M2 Pro",
                           "32 GB", "1 TB SSD", "Also tests on an iPhone 13 and a Pixel 7"),
               {{sync, Developer}, {mobile, Developer}}),
        Person("pnovak", "Petra Novak", "Reports, printing and the mobile maps", "Developer",
               "Engineering", "+1 555 0103",
               Workstation("Windows 10 Pro", "19045", "22H2", "Chrome 126", "Intel Core i5-12500",
                           "16 GB", "512 GB SSD", ""),
               {{ledger, Developer}, {mobile, Developer}}),
        Person("rsilva", "Rafael Silva", "Owns the test plans of every product", "QA Lead",
               "Quality Assurance", "+1 555 0104",
               Workstation("Windows 11 Pro", "22631", "23H2", "Edge 126", "Intel Core i7-12700",
                           "32 GB", "1 TB NVMe SSD", "Runs the virtual machines for upgrade tests"),
               {{ledger, Tester}, {sync, Tester}, {mobile, Tester}}),
        Person("akowalski", "Anna Kowalski", "Regression tests for the ledger and sync",
               "QA Engineer", "Quality Assurance", "+1 555 0105",
               Workstation("Ubuntu 22.04 LTS", "5.15.0-107", "", "Firefox 127",
                           "Intel Core i5-1135G7", "16 GB", "512 GB SSD", ""),
               {{ledger, Tester}, {sync, Tester}}),
        Person("jbrennan", "Jonah Brennan", "Takes customer calls and files what they find",
               "Support Engineer", "Customer Support", "+1 555 0106",
               Workstation("Windows 10 Pro", "19045", "22H2", "Chrome 126", "Intel Core i3-10110U",
                           "8 GB", "256 GB SSD", "Shared support desk machine"),
               {{mobile, Tester}, {ledger, Tester}}),
    };
}

} // namespace

const std::vector<DemoProduct>& DemoProducts() {
    static const std::vector<DemoProduct> products = MakeProducts();
    return products;
}

const std::vector<DemoUser>& DemoUsers() {
    static const std::vector<DemoUser> users = MakeUsers();
    return users;
}

const char* JobName(Job job) {
    switch (job) {
    case Job::Developer:
        return "developer";
    case Job::Tester:
        return "tester";
    case Job::Manager:
        return "manager";
    }
    return "";
}

const std::vector<std::string>& JobStatuses(Job job) {
    static const std::vector<std::string> developer = {
        "Active", "In Process", "Waiting", "Fixed", "Postponed", "By Design", "Cannot Reproduce"};
    static const std::vector<std::string> tester = {"New", "Active", "Waiting", "Verified",
                                                    "Cannot Reproduce"};
    static const std::vector<std::string> manager = {
        "New",      "Active",    "In Process", "Waiting",          "Fixed",
        "Verified", "Postponed", "By Design",  "Cannot Reproduce", "Will Not Fix"};
    switch (job) {
    case Job::Developer:
        return developer;
    case Job::Tester:
        return tester;
    case Job::Manager:
        return manager;
    }
    return manager;
}

std::string RoleName(const DemoProduct& product, Job job) {
    return product.name + " " + JobName(job);
}

std::vector<int> UsersWithJob(int product, Job job) {
    std::vector<int> holders;
    const auto& users = DemoUsers();
    for (size_t i = 0; i < users.size(); ++i)
        for (const DemoAssignment& role : users[i].roles)
            if (role.product == product && role.job == job) holders.push_back(static_cast<int>(i));
    return holders;
}

} // namespace velmora::demo
