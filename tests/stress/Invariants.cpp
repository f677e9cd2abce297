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

// The server's counterpart of SQLite's integrity check: amcheck verifies every B-tree index of
// the schema against its table (each indexed row is found through the index) and every table's
// pages and row versions. A fault is an error of bt_index_check or a row of verify_heapam.
constexpr const char* kServerIndexCheck =
    "SELECT c.relname, bt_index_check(c.oid, true)::text FROM pg_index i "
    "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_am a ON a.oid = c.relam "
    "JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE a.amname = 'btree' AND n.nspname = 'public'";
constexpr const char* kServerTableCheck =
    "SELECT c.relname, v.blkno, v.offnum, v.msg FROM pg_class c "
    "JOIN pg_namespace n ON n.oid = c.relnamespace CROSS JOIN LATERAL verify_heapam(c.oid) v "
    "WHERE c.relkind = 'r' AND n.nspname = 'public'";

void CheckStorage(const DatabaseProbe& db, std::vector<std::string>& broken) {
    if (!db.OnServer()) {
        for (const auto& row : db.Rows("PRAGMA integrity_check")) {
            if (row.empty() || row.front() != "ok")
                broken.push_back("integrity_check: " + (row.empty() ? "" : row.front()));
        }
        return;
    }
    if (db.Scalar("SELECT COUNT(*) FROM pg_extension e JOIN pg_namespace n "
                  "ON n.oid = e.extnamespace WHERE e.extname = 'amcheck'") == "0")
        return; // the run said at its start why it cannot check
    try {
        db.Rows(kServerIndexCheck);
    } catch (const std::exception& error) {
        broken.push_back(std::string("amcheck index check: ") + error.what());
    }
    for (const auto& row : db.Rows(kServerTableCheck))
        broken.push_back("amcheck: table " + row.at(0) + " page " + row.at(1) + " item " +
                         row.at(2) + ": " + row.at(3));
}

} // namespace

std::vector<std::string> CheckInvariants(const DatabaseProbe& db) {
    std::vector<std::string> broken;
    CheckStorage(db, broken);
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
