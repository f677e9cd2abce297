// Statement boundaries in SQL text, for clients that run one statement at a time.
#include <cctype>

#include "TestDataSource.h"

namespace velmora::test {
namespace {

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

// The tag of a dollar quote starting at `at` ("$$" or "$name$"), or "" when there is none.
std::string DollarTag(const std::string& sql, size_t at) {
    size_t end = at + 1;
    while (end < sql.size() &&
           (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
        ++end;
    if (end >= sql.size() || sql[end] != '$') return "";
    // "$1" is a placeholder, not a tag: a tag does not start with a digit.
    if (end > at + 1 && std::isdigit(static_cast<unsigned char>(sql[at + 1]))) return "";
    return sql.substr(at, end - at + 1);
}

} // namespace

std::vector<std::string> SplitStatements(const std::string& sql) {
    std::vector<std::string> statements;
    std::string current;
    auto finish = [&] {
        std::string statement = Trimmed(current);
        if (!statement.empty()) statements.push_back(std::move(statement));
        current.clear();
    };
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        size_t end = i + 1; // one past what belongs together from i
        if (c == '\'' || c == '"') {
            // A doubled quote inside is the quote itself: scanning on handles it.
            end = sql.find(c, i + 1);
            end = end == std::string::npos ? sql.size() : end + 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            end = sql.find('\n', i);
            end = end == std::string::npos ? sql.size() : end;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            end = sql.find("*/", i + 2);
            end = end == std::string::npos ? sql.size() : end + 2;
        } else if (c == '$') {
            const std::string tag = DollarTag(sql, i);
            if (!tag.empty()) {
                end = sql.find(tag, i + tag.size());
                end = end == std::string::npos ? sql.size() : end + tag.size();
            }
        } else if (c == ';') {
            finish();
            ++i;
            continue;
        }
        current.append(sql, i, end - i);
        i = end;
    }
    finish();
    return statements;
}

} // namespace velmora::test
