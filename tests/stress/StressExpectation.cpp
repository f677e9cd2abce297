#include "StressExpectation.h"

#include <charconv>

#include "OperationNames.h"

namespace velmora::stress {
namespace {

// Who handed out which identifier of which table, to find one handed out twice.
class Claims {
  public:
    explicit Claims(std::vector<std::string>& violations) : violations_(violations) {}
    void Claim(const std::string& table, LONG id, const std::string& where) {
        if (id <= 0) {
            violations_.push_back(where + ": reported success with identifier " +
                                  std::to_string(id) + " for " + table);
            return;
        }
        const auto [it, inserted] = claims_[table].emplace(id, where);
        if (!inserted) {
            violations_.push_back("identifier " + std::to_string(id) + " of " + table +
                                  " handed out twice: " + it->second + " and " + where);
        }
    }

  private:
    std::vector<std::string>& violations_;
    std::map<std::string, std::map<LONG, std::string>> claims_;
};

BugValues BugValuesOf(const JournalRecord& record, LONG type) {
    return {type, record.Text("desc"), record.Text("rep"), record.Text("pri")};
}

std::string Where(const WorkerJournal& journal, const JournalRecord& record) {
    return "worker " + std::to_string(journal.worker + 1) + " " + record.Text("op") + " #" +
           record.Text("n");
}

} // namespace

bool ParseVersionList(const std::string& text, std::map<LONG, std::string>* versions) {
    versions->clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        const std::string entry = text.substr(start, end - start);
        const size_t colon = entry.find(':');
        LONG id = 0;
        if (colon == std::string::npos ||
            std::from_chars(entry.data(), entry.data() + colon, id).ptr != entry.data() + colon)
            return false;
        (*versions)[id] = entry.substr(colon + 1);
        start = end + 1;
    }
    return true;
}

StressExpectation BuildExpectation(const std::vector<WorkerJournal>& journals) {
    StressExpectation expected;
    Claims claims(expected.violations);
    for (const WorkerJournal& journal : journals) {
        for (const JournalRecord& record : journal.records) {
            const std::string kind = record.Text("op");
            const bool ok = record.Number("ok") == 1;
            const LONG id = static_cast<LONG>(record.Number("id"));
            const std::string where = Where(journal, record);
            if (kind == op::kAddBug && ok) {
                claims.Claim("tBugReport", id, where);
                const auto type = static_cast<LONG>(record.Number("type"));
                expected.bugs[id] = {journal.worker, BugValuesOf(record, type), {}};
            } else if (kind == op::kUpdateBug) {
                const auto it = expected.bugs.find(id);
                if (it == expected.bugs.end()) continue; // never added: nothing to expect
                const BugValues values = BugValuesOf(record, it->second.values.type);
                if (ok) {
                    it->second.values = values;
                } else {
                    it->second.failedWrites.push_back(values);
                }
            } else if (kind == op::kDeleteBug && ok) {
                expected.deletedBugs.insert(id);
            } else if (kind == op::kAddFile && ok) {
                claims.Claim("tAttachment", id, where);
                expected.files[id] = {static_cast<LONG>(record.Number("bug")), record.Text("name"),
                                      static_cast<LONG>(record.Number("size")),
                                      record.Text("hash")};
            } else if (kind == op::kRemoveFile && ok) {
                expected.deletedFiles.insert(id);
            } else if (kind == op::kAddProduct || kind == op::kUpdateProduct) {
                std::map<LONG, std::string> versions;
                if (!ParseVersionList(record.Text("vers"), &versions)) {
                    expected.violations.push_back(where + ": unreadable version list");
                    continue;
                }
                if (kind == op::kAddProduct) {
                    if (!ok) continue;
                    claims.Claim("tProduct", id, where);
                    for (const auto& version : versions)
                        claims.Claim("tVersion", version.first, where);
                    expected.products[id] = {
                        journal.worker, record.Text("name"), record.Text("desc"), versions, {}};
                    continue;
                }
                const auto it = expected.products.find(id);
                if (it == expected.products.end()) continue;
                if (!ok) {
                    it->second.failedDescriptions.push_back(record.Text("desc"));
                    continue;
                }
                for (const auto& version : versions) {
                    if (!it->second.versions.contains(version.first))
                        claims.Claim("tVersion", version.first, where);
                }
                it->second.description = record.Text("desc");
                it->second.versions = versions;
            } else if (kind == op::kDeleteProduct && ok) {
                expected.deletedProducts.insert(id);
            } else if (kind == op::kAddClass && ok) {
                claims.Claim("tClassification", id, where);
                expected.classes[id] = {
                    static_cast<LONG>(record.Number("prod")), record.Text("name"), {}};
            } else if (kind == op::kUpdateClass) {
                const auto it = expected.classes.find(id);
                if (it == expected.classes.end()) continue;
                if (ok) {
                    it->second.name = record.Text("name");
                } else {
                    it->second.failedNames.push_back(record.Text("name"));
                }
            } else if (kind == op::kRename) {
                ExpectedUser& user = expected.users[static_cast<LONG>(record.Number("user"))];
                if (ok) {
                    user.name = record.Text("name");
                } else {
                    user.failedNames.push_back(record.Text("name"));
                }
            }
        }
    }
    return expected;
}

} // namespace velmora::stress
