#pragma once
// Splitting and comparing registry key paths.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::com::registry {

// The non-empty components of a '\'-separated path, or std::nullopt when a component holds a
// control character or invalid UTF-8.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

// The name with ASCII letters in lower case: names that differ only in case fold alike.
std::string Fold(std::string_view name);

// The folded components joined with '\'.
std::string FoldedPath(const std::vector<std::string>& components);

} // namespace velmora::com::registry
