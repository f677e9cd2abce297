#include "ArgvMask.h"

#include <algorithm>
#include <cctype>

#include "engine/db/DataSource.h"

namespace velmora::tool {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

std::vector<std::pair<size_t, size_t>> PasswordSpans(std::string_view dataSource) {
    std::vector<std::pair<size_t, size_t>> spans;
    if (!db::IsServerDataSource(dataSource)) return spans;
    const size_t authority = dataSource.find("://") + 3;
    // The user information ends at the last '@' before the path or query, so a '@' inside the
    // password belongs to the password.
    size_t pathStart = dataSource.find_first_of("/?", authority);
    if (pathStart == std::string_view::npos) pathStart = dataSource.size();
    const size_t at =
        pathStart == 0 ? std::string_view::npos : dataSource.rfind('@', pathStart - 1);
    if (at != std::string_view::npos && at >= authority) {
        const size_t colon = dataSource.find(':', authority);
        if (colon != std::string_view::npos && colon < at) spans.emplace_back(colon + 1, at);
    }
    const size_t query = dataSource.find('?');
    if (query == std::string_view::npos) return spans;
    size_t pos = query + 1;
    while (pos < dataSource.size()) {
        size_t end = dataSource.find('&', pos);
        if (end == std::string_view::npos) end = dataSource.size();
        constexpr std::string_view kKey = "password=";
        if (StartsWithNoCase(dataSource.substr(pos, end - pos), kKey))
            spans.emplace_back(pos + kKey.size(), end);
        pos = end + 1;
    }
    return spans;
}

std::vector<std::string> TakeArguments(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    for (int i = 0; i < argc; ++i)
        for (const auto& [begin, end] : PasswordSpans(arguments[i]))
            std::fill(argv[i] + begin, argv[i] + end, '*');
    return arguments;
}

} // namespace velmora::tool
