#include "DataSource.h"

#include <algorithm>
#include <cctype>

namespace velmora::db {
namespace {

constexpr std::string_view kMask = "****";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// Masks "password=VALUE" in the query part (after '?'), parameters separated by '&'.
std::string MaskQueryPassword(std::string text) {
    const size_t query = text.find('?');
    if (query == std::string::npos) return text;
    size_t pos = query + 1;
    while (pos < text.size()) {
        size_t end = text.find('&', pos);
        if (end == std::string::npos) end = text.size();
        if (StartsWithNoCase(std::string_view(text).substr(pos, end - pos), "password=")) {
            const size_t value = pos + 9;
            text.replace(value, end - value, kMask);
            end = value + kMask.size();
        }
        pos = end + 1;
    }
    return text;
}

} // namespace

bool IsServerDataSource(std::string_view dataSource) {
    return StartsWithNoCase(dataSource, "postgresql://") ||
           StartsWithNoCase(dataSource, "postgres://");
}

std::string MaskedDataSource(std::string_view dataSource) {
    if (!IsServerDataSource(dataSource)) return std::string(dataSource);
    std::string text(dataSource);
    const size_t authority = text.find("://") + 3;
    // The user information ends at the last '@' before the path, so a '@' inside the password
    // is masked along with the rest of it.
    size_t pathStart = text.find_first_of("/?", authority);
    if (pathStart == std::string::npos) pathStart = text.size();
    const size_t at = text.rfind('@', pathStart == 0 ? 0 : pathStart - 1);
    if (at != std::string::npos && at >= authority) {
        const size_t colon = text.find(':', authority);
        if (colon != std::string::npos && colon < at)
            text.replace(colon + 1, at - colon - 1, kMask);
    }
    return MaskQueryPassword(std::move(text));
}

} // namespace velmora::db
