#include "Invariants.h"

namespace velmora::stress {
namespace {

struct Counter {
    const char* column;
    const char* table;
    const char* key;
};

constexpr Counter kCounters[] = {
    {"NextBugID", "tBugReport", "BugID"},
    {"NextAttachmentID", "tAttachment", "AttachmentID"},
    {"NextProductID", "tProduct", "ProductID"},
    {"NextVersionID", "tVersion", "VersionID"},
    {"NextClassID", "tClassification", "ClassificationID"},
    {"NextRoleID", "tRole", "RoleID"},
    {"NextRightID", "tRight", "RightID"},
    {"NextUserID", "tUser", "UserID"},
    {"NextSysInfoID", "tUserSystemInfo", "UserSystemInfoID"},
};

struct Orphans {
    const char* what;
    const char* query; // the identifiers of the rows whose owner is missing
};

constexpr Orphans kOrphans[] = {
    {"attachment without its bug",
     "SELECT a.AttachmentID FROM tAttachment a LEFT JOIN tBugReport b ON b.BugID = a.BugID "
     "WHERE b.BugID IS NULL"},
    {"version without its product",
     "SELECT v.VersionID FROM tVersion v LEFT JOIN tProduct p ON p.ProductID = v.ProductID "
     "WHERE p.ProductID IS NULL"},
    {"classification without its product",
     "SELECT c.ClassificationID FROM tClassification c LEFT JOIN tProduct p "
     "ON p.ProductID = c.ProductID WHERE p.ProductID IS NULL"},
    {"bug reported in a missing version",
     "SELECT b.BugID FROM tBugReport b LEFT JOIN tVersion v "
     "ON v.VersionID = b.ReportedInVersionID WHERE b.ReportedInVersionID <> 0 "
     "AND v.VersionID IS NULL"},
};

} // namespace

std::vector<std::string> CheckInvariants(const DatabaseProbe& db) {
    std::vector<std::string> broken;
    for (const auto& row : db.Rows("PRAGMA integrity_check")) {
        if (row.empty() || row.front() != "ok")
            broken.push_back("integrity_check: " + (row.empty() ? "" : row.front()));
    }
    const std::string counterRows = db.Scalar("SELECT COUNT(*) FROM tNextID");
    if (counterRows != "1") broken.push_back("tNextID holds " + counterRows + " rows, not 1");
    for (const Counter& counter : kCounters) {
        const std::string sql = std::string("SELECT COALESCE((SELECT ") + counter.column +
                                " FROM tNextID LIMIT 1), 0), (SELECT COALESCE(MAX(" + counter.key +
                                "), 0) FROM " + counter.table + ")";
        const auto rows = db.Rows(sql);
        const long long next = std::stoll(rows.at(0).at(0));
        const long long largest = std::stoll(rows.at(0).at(1));
        if (next <= largest) {
            broken.push_back(std::string(counter.column) + " is " + std::to_string(next) +
                             ", not above the largest " + counter.key + " " +
                             std::to_string(largest));
        }
    }
    for (const Orphans& orphans : kOrphans) {
        for (const auto& row : db.Rows(orphans.query))
            broken.push_back(std::string(orphans.what) + ": " + row.at(0));
    }
    return broken;
}

} // namespace velmora::stress
