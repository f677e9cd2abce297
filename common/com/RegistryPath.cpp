#include "RegistryPath.h"

#include "Utf8.h"

namespace velmora::com::registry {

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (!component.empty()) {
            for (const char c : component)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
            if (!utf8::IsValid(component)) return std::nullopt;
            components.emplace_back(component);
        }
        start = end + 1;
    }
    return components;
}

std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string FoldedPath(const std::vector<std::string>& components) {
    std::string folded;
    for (size_t i = 0; i < components.size(); ++i) {
        if (i) folded += '\\';
        folded += Fold(components[i]);
    }
    return folded;
}

} // namespace velmora::com::registry
