#include "DataSource.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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

// The passwords a server address carries: the user information's and any password= parameter.
std::vector<std::string> PasswordsOf(std::string_view dataSource) {
    std::vector<std::string> passwords;
    if (!IsServerDataSource(dataSource)) return passwords;
    const std::string text(dataSource);
    const size_t authority = text.find("://") + 3;
    size_t pathStart = text.find_first_of("/?", authority);
    if (pathStart == std::string::npos) pathStart = text.size();
    const size_t at = text.rfind('@', pathStart == 0 ? 0 : pathStart - 1);
    if (at != std::string::npos && at >= authority) {
        const size_t colon = text.find(':', authority);
        if (colon != std::string::npos && colon < at)
            passwords.push_back(text.substr(colon + 1, at - colon - 1));
    }
    const size_t query = text.find('?');
    for (size_t pos = query == std::string::npos ? text.size() : query + 1; pos < text.size();) {
        size_t end = text.find('&', pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view parameter = std::string_view(text).substr(pos, end - pos);
        if (StartsWithNoCase(parameter, "password=")) passwords.emplace_back(parameter.substr(9));
        pos = end + 1;
    }
    return passwords;
}

std::string PercentDecoded(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

void ReplaceAll(std::string& text, const std::string& what) {
    if (what.empty()) return;
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + kMask.size()))
        text.replace(at, what.size(), kMask);
}

} // namespace

std::string WithoutPassword(std::string text, std::string_view dataSource) {
    for (const std::string& password : PasswordsOf(dataSource)) {
        ReplaceAll(text, password);
        ReplaceAll(text, PercentDecoded(password));
    }
    return text;
}

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
