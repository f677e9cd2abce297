#include "StressChecker.h"

#include <algorithm>

#include "Fingerprint.h"

namespace velmora::stress {
namespace {

using Rows = std::vector<std::vector<std::string>>;

LONG IdOf(const std::string& text) {
    return static_cast<LONG>(std::stol(text.empty() ? "0" : text));
}

// Rows of a statement whose first column is the identifier, by identifier.
std::map<LONG, std::vector<std::string>> ById(const DatabaseProbe& db, const std::string& sql) {
    std::map<LONG, std::vector<std::string>> rows;
    for (auto& row : db.Rows(sql))
        rows[IdOf(row.at(0))] = std::move(row);
    return rows;
}

constexpr const char* kTables[][2] = {
    {"tBugReport", "BugID"},   {"tAttachment", "AttachmentID"},         {"tProduct", "ProductID"},
    {"tVersion", "VersionID"}, {"tClassification", "ClassificationID"}, {"tUser", "UserID"},
};

std::string Show(const BugValues& values) {
    return "type " + std::to_string(values.type) + ", '" + values.description + "', report " +
           values.reportPrint + ", priority '" + values.priority + "'";
}

bool Seeded(const SeedRows& seed, const std::string& table, LONG id) {
    const auto it = seed.ids.find(table);
    return it != seed.ids.end() && it->second.contains(id);
}

class Comparison {
  public:
    Comparison(const StressExpectation& expected, const SeedRows& seed, const DatabaseProbe& db)
        : expected_(expected), seed_(seed), db_(db) {}

    std::vector<std::string> Run() {
        for (const auto& [table, key] : kTables) {
            const std::set<LONG>& seeded = seed_.ids.count(table) ? seed_.ids.at(table) : none_;
            const auto stored = ById(db_, std::string("SELECT ") + key + " FROM " + table);
            for (const LONG id : seeded) {
                if (!stored.contains(id))
                    Violation(std::string(table) + " row " + std::to_string(id) +
                              " of the seed is missing");
            }
        }
        Bugs();
        Files();
        Products();
        Classes();
        Users();
        return std::move(violations_);
    }

  private:
    void Violation(std::string text) { violations_.push_back(std::move(text)); }

    // Judges a row that an add reported against the reported removals: true when it is there and
    // should be, so that its values are compared next; otherwise records a violation if the row's
    // presence contradicts what was reported (`removedBy` names the removal).
    bool PresentAsReported(bool present, bool removed, const std::string& name,
                           const char* removedBy) {
        if (!present) {
            if (!removed) Violation(name + ": its add reported success, but it is missing");
            return false;
        }
        if (removed) {
            Violation(name + ": " + removedBy + ", but it is still there");
            return false;
        }
        return true;
    }

    void Bugs() {
        const auto stored =
            ById(db_, "SELECT BugID, BugType, Description, Report, PriorityName FROM tBugReport");
        for (const auto& [id, bug] : expected_.bugs) {
            const auto row = stored.find(id);
            const bool deleted = expected_.deletedBugs.contains(id);
            const std::string name =
                "bug " + std::to_string(id) + " of worker " + std::to_string(bug.owner + 1);
            if (!PresentAsReported(row != stored.end(), deleted, name, "a delete reported success"))
                continue;
            const auto& columns = row->second;
            const BugValues found{IdOf(columns.at(1)), columns.at(2), Fingerprint(columns.at(3)),
                                  columns.at(4)};
            if (found == bug.values) continue;
            const bool failedWrite = std::find(bug.failedWrites.begin(), bug.failedWrites.end(),
                                               found) != bug.failedWrites.end();
            Violation(
                name +
                (failedWrite ? ": an update reported as failed took effect" : ": lost update") +
                ": holds " + Show(found) + ", expected " + Show(bug.values));
        }
        Unaccounted("tBugReport", stored, expected_.bugs);
    }

    void Files() {
        const auto stored =
            ById(db_, "SELECT AttachmentID, BugID, FileName, FileSize FROM tAttachment");
        for (const auto& [id, file] : expected_.files) {
            const bool gone =
                expected_.deletedFiles.contains(id) || expected_.deletedBugs.contains(file.bug);
            const auto row = stored.find(id);
            const std::string name =
                "attachment " + std::to_string(id) + " of bug " + std::to_string(file.bug);
            if (!PresentAsReported(row != stored.end(), gone, name,
                                   "removed by a reported success"))
                continue;
            const auto& columns = row->second;
            if (IdOf(columns.at(1)) != file.bug || columns.at(2) != file.name ||
                IdOf(columns.at(3)) != file.size) {
                Violation(name + ": holds bug " + columns.at(1) + ", '" + columns.at(2) + "', " +
                          columns.at(3) + " bytes; expected '" + file.name + "', " +
                          std::to_string(file.size) + " bytes");
            }
        }
        Unaccounted("tAttachment", stored, expected_.files);
    }

    void Products() {
        const auto stored = ById(db_, "SELECT ProductID, ProductName, ProductDesp FROM tProduct");
        const auto versions = ById(db_, "SELECT VersionID, ProductID, VersionName FROM tVersion");
        std::map<LONG, std::map<LONG, std::string>> versionsOf;
        for (const auto& [id, columns] : versions)
            versionsOf[IdOf(columns.at(1))][id] = columns.at(2);
        std::set<LONG> accountedVersions;
        for (const auto& [id, product] : expected_.products) {
            const auto row = stored.find(id);
            const bool deleted = expected_.deletedProducts.contains(id);
            const std::string name =
                "product " + std::to_string(id) + " of worker " + std::to_string(product.owner + 1);
            if (!PresentAsReported(row != stored.end(), deleted, name, "a delete reported success"))
                continue;
            const std::string& description = row->second.at(2);
            if (row->second.at(1) != product.name || description != product.description) {
                const bool failed =
                    std::find(product.failedDescriptions.begin(), product.failedDescriptions.end(),
                              description) != product.failedDescriptions.end();
                Violation(
                    name +
                    (failed ? ": an update reported as failed took effect" : ": lost update") +
                    ": holds '" + row->second.at(1) + "', '" + description + "', expected '" +
                    product.name + "', '" + product.description + "'");
            }
            const auto& held = versionsOf[id];
            for (const auto& [versionId, versionName] : product.versions) {
                accountedVersions.insert(versionId);
                const auto found = held.find(versionId);
                if (found == held.end()) {
                    Violation(name + ": version " + std::to_string(versionId) + " '" + versionName +
                              "' is missing");
                } else if (found->second != versionName) {
                    Violation(name + ": version " + std::to_string(versionId) + " is named '" +
                              found->second + "', expected '" + versionName + "'");
                }
            }
        }
        for (const auto& [id, columns] : stored) {
            if (!expected_.products.contains(id) && !Seeded(seed_, "tProduct", id))
                Violation("product " + std::to_string(id) +
                          " is in the database, but no reported add accounts for it");
        }
        for (const auto& [id, columns] : versions) {
            if (!accountedVersions.contains(id) && !Seeded(seed_, "tVersion", id))
                Violation("version " + std::to_string(id) + " '" + columns.at(2) + "' of product " +
                          columns.at(1) +
                          " is in the database, but no reported change accounts for it");
        }
    }

    void Classes() {
        const auto stored =
            ById(db_, "SELECT ClassificationID, ProductID, ClassName FROM tClassification");
        for (const auto& [id, expected] : expected_.classes) {
            const auto row = stored.find(id);
            const bool gone = expected_.deletedProducts.contains(expected.product);
            const std::string name = "classification " + std::to_string(id) + " of product " +
                                     std::to_string(expected.product);
            if (!PresentAsReported(row != stored.end(), gone, name,
                                   "its product's deletion reported success"))
                continue;
            if (IdOf(row->second.at(1)) != expected.product || row->second.at(2) != expected.name) {
                const bool failed =
                    std::find(expected.failedNames.begin(), expected.failedNames.end(),
                              row->second.at(2)) != expected.failedNames.end();
                Violation(
                    name +
                    (failed ? ": an update reported as failed took effect" : ": lost update") +
                    ": holds product " + row->second.at(1) + ", '" + row->second.at(2) +
                    "', expected '" + expected.name + "'");
            }
        }
        Unaccounted("tClassification", stored, expected_.classes);
    }

    void Users() {
        const auto stored = ById(db_, "SELECT UserID, UserName FROM tUser");
        for (const auto& [id, user] : expected_.users) {
            const auto row = stored.find(id);
            if (row == stored.end()) {
                Violation("user " + std::to_string(id) + " is missing");
                continue;
            }
            std::string wanted = user.name;
            if (wanted.empty() && seed_.userNames.contains(id)) wanted = seed_.userNames.at(id);
            if (row->second.at(1) == wanted) continue;
            const bool failed = std::find(user.failedNames.begin(), user.failedNames.end(),
                                          row->second.at(1)) != user.failedNames.end();
            Violation("user " + std::to_string(id) +
                      (failed ? ": a rename reported as failed took effect" : ": lost rename") +
                      ": named '" + row->second.at(1) + "', expected '" + wanted + "'");
        }
    }

    template <class Expected>
    void Unaccounted(const std::string& table,
                     const std::map<LONG, std::vector<std::string>>& stored,
                     const std::map<LONG, Expected>& expected) {
        for (const auto& [id, columns] : stored) {
            if (!expected.contains(id) && !Seeded(seed_, table, id))
                Violation(table + " row " + std::to_string(id) +
                          " is in the database, but no reported add accounts for it");
        }
    }

    const StressExpectation& expected_;
    const SeedRows& seed_;
    const DatabaseProbe& db_;
    const std::set<LONG> none_;
    std::vector<std::string> violations_;
};

} // namespace

SeedRows ReadSeedRows(const DatabaseProbe& db) {
    SeedRows seed;
    for (const auto& [table, key] : kTables) {
        for (const auto& row : db.Rows(std::string("SELECT ") + key + " FROM " + table))
            seed.ids[table].insert(IdOf(row.at(0)));
    }
    for (const auto& row : db.Rows("SELECT UserID, UserName FROM tUser"))
        seed.userNames[IdOf(row.at(0))] = row.at(1);
    return seed;
}

std::vector<std::string> CompareWithDatabase(const StressExpectation& expected,
                                             const SeedRows& seed, const DatabaseProbe& db) {
    return Comparison(expected, seed, db).Run();
}

} // namespace velmora::stress
