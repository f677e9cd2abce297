#include "CrashModel.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "OperationNames.h"
#include "StressExpectation.h"

namespace velmora::stress {
namespace {

LONG Id(const JournalRecord& record, const char* key) {
    return static_cast<LONG>(record.Number(key));
}

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> names;
    std::istringstream in(text);
    std::string name;
    while (std::getline(in, name, ';'))
        names.push_back(name);
    return names;
}

// Identifiers of `found` that `state` does not have, ascending.
template <class Fact, class Keep>
std::vector<LONG> NewIds(const std::map<LONG, Fact>& state, const std::map<LONG, Fact>& found,
                         Keep keep) {
    std::vector<LONG> ids;
    for (const auto& [id, fact] : found) {
        if (!state.contains(id) && keep(fact)) ids.push_back(id);
    }
    return ids;
}

BugFact NewBug(const CrashState& state, LONG version, const std::string& description, LONG by) {
    const auto user = state.userNames.find(by);
    return {version, description, by, user == state.userNames.end() ? "" : user->second};
}

// The product's versions after an update listing them as "id:name" (id 0 for a new one); the
// new ones get `newIds` in order. False when the counts do not match.
bool ReplaceVersions(CrashState& state, LONG product, const std::map<LONG, std::string>& listed,
                     const std::vector<std::string>& added, const std::vector<LONG>& newIds) {
    if (added.size() != newIds.size()) return false;
    std::vector<LONG> dropped;
    for (const auto& [id, version] : state.versions) {
        if (version.product == product && !listed.contains(id)) dropped.push_back(id);
    }
    for (const LONG id : dropped)
        RemoveVersion(state, id);
    for (const auto& [id, name] : listed) {
        if (id != 0) state.versions[id] = {product, name};
    }
    for (size_t i = 0; i < added.size(); ++i)
        state.versions[newIds[i]] = {product, added[i]};
    return true;
}

// "id:name;0:new" -> the listed stored versions and, in order, the names of the new ones.
bool SplitVersionIntent(const std::string& text, std::map<LONG, std::string>* listed,
                        std::vector<std::string>* added) {
    listed->clear();
    added->clear();
    for (const std::string& entry : SplitNames(text)) {
        std::map<LONG, std::string> one;
        if (!ParseVersionList(entry, &one) || one.size() != 1) return false;
        if (one.begin()->first == 0) {
            added->push_back(one.begin()->second);
        } else {
            listed->insert(*one.begin());
        }
    }
    return true;
}

} // namespace

void RemoveBug(CrashState& state, LONG bug) {
    state.bugs.erase(bug);
    std::erase_if(state.files, [bug](const auto& file) { return file.second.bug == bug; });
}

void RemoveVersion(CrashState& state, LONG version) {
    std::vector<LONG> bugs;
    for (const auto& [id, bug] : state.bugs) {
        if (bug.version == version) bugs.push_back(id);
    }
    for (const LONG id : bugs)
        RemoveBug(state, id);
    state.versions.erase(version);
}

void RemoveProduct(CrashState& state, LONG product) {
    std::vector<LONG> versions;
    for (const auto& [id, version] : state.versions) {
        if (version.product == product) versions.push_back(id);
    }
    for (const LONG id : versions)
        RemoveVersion(state, id);
    std::erase_if(state.classes,
                  [product](const auto& entry) { return entry.second.product == product; });
    for (auto& [role, owner] : state.roleProducts) {
        if (owner == product) owner = 0;
    }
    state.products.erase(product);
}

void Synchronize(CrashState& state) {
    for (auto& [id, bug] : state.bugs) {
        const auto user = state.userNames.find(bug.reportedById);
        if (user != state.userNames.end()) bug.reportedBy = user->second;
    }
}

bool ApplyDone(CrashState& state, const JournalRecord& end) {
    const std::string kind = end.Text("op");
    const LONG id = Id(end, "id");
    if (kind == op::kAddBug) {
        state.bugs[id] = NewBug(state, Id(end, "ver"), end.Text("desc"), Id(end, "by"));
    } else if (kind == op::kAddFile) {
        state.files[id] = {Id(end, "bug"), end.Text("name"), Id(end, "size")};
    } else if (kind == op::kDeleteBug) {
        RemoveBug(state, id);
    } else if (kind == op::kRemoveFile) {
        state.files.erase(id);
    } else if (kind == op::kAddProduct || kind == op::kUpdateProduct) {
        std::map<LONG, std::string> versions;
        if (!ParseVersionList(end.Text("vers"), &versions)) return false;
        if (kind == op::kAddProduct) {
            state.products[id] = {end.Text("name"), end.Text("desc")};
        } else {
            state.products[id].description = end.Text("desc");
        }
        ReplaceVersions(state, id, versions, {}, {});
    } else if (kind == op::kDeleteProduct) {
        RemoveProduct(state, id);
    } else if (kind == op::kAddClass) {
        state.classes[id] = {Id(end, "prod"), end.Text("name")};
    } else if (kind == op::kRename) {
        state.userNames[Id(end, "user")] = end.Text("name");
    } else if (kind == op::kSynchronize) {
        Synchronize(state);
    } else {
        return false;
    }
    return true;
}

std::optional<CrashState> ApplyInFlight(const CrashState& state, const JournalRecord& begin,
                                        const CrashState& found) {
    const std::string kind = begin.Text("op");
    CrashState after = state;
    if (kind == op::kAddBug) {
        const auto ids = NewIds(state.bugs, found.bugs, [](const BugFact&) { return true; });
        if (ids.size() != 1) return std::nullopt;
        after.bugs[ids.front()] =
            NewBug(state, Id(begin, "ver"), begin.Text("desc"), Id(begin, "by"));
    } else if (kind == op::kAddFile) {
        const auto ids = NewIds(state.files, found.files, [](const FileFact&) { return true; });
        if (ids.size() != 1) return std::nullopt;
        after.files[ids.front()] = {Id(begin, "bug"), begin.Text("name"), Id(begin, "size")};
    } else if (kind == op::kAddProduct) {
        const auto products =
            NewIds(state.products, found.products, [](const ProductFact&) { return true; });
        if (products.size() != 1) return std::nullopt;
        const LONG product = products.front();
        after.products[product] = {begin.Text("name"), begin.Text("desc")};
        const auto versions = NewIds(state.versions, found.versions,
                                     [product](const auto& v) { return v.product == product; });
        if (!ReplaceVersions(after, product, {}, SplitNames(begin.Text("vernames")), versions))
            return std::nullopt;
    } else if (kind == op::kUpdateProduct) {
        const LONG product = Id(begin, "id");
        std::map<LONG, std::string> listed;
        std::vector<std::string> added;
        if (!SplitVersionIntent(begin.Text("vers"), &listed, &added)) return std::nullopt;
        after.products[product].description = begin.Text("desc");
        const auto versions = NewIds(state.versions, found.versions,
                                     [product](const auto& v) { return v.product == product; });
        if (!ReplaceVersions(after, product, listed, added, versions)) return std::nullopt;
    } else if (kind == op::kAddClass) {
        const auto ids =
            NewIds(state.classes, found.classes, [](const ClassFact&) { return true; });
        if (ids.size() != 1) return std::nullopt;
        after.classes[ids.front()] = {Id(begin, "prod"), begin.Text("name")};
    } else if (kind == op::kDeleteBug || kind == op::kRemoveFile || kind == op::kDeleteProduct ||
               kind == op::kRename || kind == op::kSynchronize) {
        // Nothing new to find: the intent says it all.
        if (!ApplyDone(after, begin)) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return after;
}

} // namespace velmora::stress
