// The in-memory key tree. Keys are kept in one map by folded path, ordered so that each key's
// descendants directly follow it: '\' sorts before every other character.
#include "Registry.h"

#include <stdexcept>

#include "RegistryPath.h"

namespace velmora::com::registry {
namespace {

int Rank(char c) {
    return c == '\\' ? 0 : static_cast<unsigned char>(c) + 1;
}

} // namespace

bool Registry::PathOrder::operator()(const std::string& a, const std::string& b) const {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int ra = Rank(a[i]), rb = Rank(b[i]);
        if (ra != rb) return ra < rb;
    }
    return a.size() < b.size();
}

std::pair<Registry::KeyMap::const_iterator, Registry::KeyMap::const_iterator>
Registry::DescendantRange(const std::string& folded) const {
    if (folded.empty()) return {keys_.begin(), keys_.end()};
    // Every descendant starts with folded + '\'; the first string after them all is
    // folded + '\0' ('\0' ranks right after '\', and no key name holds it).
    return {keys_.lower_bound(folded + '\\'), keys_.lower_bound(folded + '\0')};
}

Registry::Key& Registry::EnsureKey(const std::string& path) {
    const auto components = SplitKeyPath(path);
    if (!components) throw std::invalid_argument("invalid registry key name: " + path);
    if (components->empty()) throw std::invalid_argument("empty registry key path");
    std::string folded;
    Key* key = nullptr;
    for (const std::string& component : *components) {
        const std::string parentPath = key ? key->path + '\\' : std::string();
        if (!folded.empty()) folded += '\\';
        folded += Fold(component);
        auto it = keys_.find(folded);
        if (it == keys_.end()) it = keys_.emplace(folded, Key{parentPath + component, {}}).first;
        key = &it->second;
    }
    return *key;
}

const Registry::Key* Registry::FindKey(const std::string& path) const {
    const auto components = SplitKeyPath(path);
    if (!components || components->empty()) return nullptr;
    const auto it = keys_.find(FoldedPath(*components));
    return it == keys_.end() ? nullptr : &it->second;
}

bool Registry::HasKey(const std::string& path) const {
    return FindKey(path) != nullptr;
}

void Registry::CreateKey(const std::string& path) {
    EnsureKey(path);
}

void Registry::SetValue(const std::string& path, const std::string& name,
                        const std::string& value) {
    Key& key = EnsureKey(path);
    auto [it, inserted] = key.values.try_emplace(Fold(name), name, value);
    if (!inserted) it->second.second = value;
}

std::optional<std::string> Registry::GetValue(const std::string& path,
                                              const std::string& name) const {
    const Key* key = FindKey(path);
    if (!key) return std::nullopt;
    const auto it = key->values.find(Fold(name));
    if (it == key->values.end()) return std::nullopt;
    return it->second.second;
}

void Registry::DeleteValue(const std::string& path, const std::string& name) {
    const auto components = SplitKeyPath(path);
    if (!components || components->empty()) return;
    const auto it = keys_.find(FoldedPath(*components));
    if (it != keys_.end()) it->second.values.erase(Fold(name));
}

void Registry::DeleteTree(const std::string& path) {
    const auto components = SplitKeyPath(path);
    if (!components || components->empty()) return;
    const std::string folded = FoldedPath(*components);
    const auto [first, last] = DescendantRange(folded);
    keys_.erase(first, last);
    keys_.erase(folded);
}

std::vector<std::string> Registry::SubKeys(const std::string& path) const {
    std::vector<std::string> names;
    const auto components = SplitKeyPath(path);
    if (!components) return names;
    const std::string folded = FoldedPath(*components);
    if (!folded.empty() && keys_.find(folded) == keys_.end()) return names;
    const size_t prefix = folded.empty() ? 0 : folded.size() + 1;
    const auto [first, last] = DescendantRange(folded);
    for (auto it = first; it != last; ++it) {
        if (it->first.find('\\', prefix) != std::string::npos) continue; // deeper down
        const std::string& display = it->second.path;
        const size_t separator = display.rfind('\\');
        names.push_back(separator == std::string::npos ? display : display.substr(separator + 1));
    }
    return names;
}

bool Registry::HoldsNoValues() const {
    for (const auto& [folded, key] : keys_)
        if (!key.values.empty()) return false;
    return true;
}

} // namespace velmora::com::registry
