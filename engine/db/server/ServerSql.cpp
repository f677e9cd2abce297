#include "ServerSql.h"

#include "../ErrorCodes.h"
#include "../RowStore.h"
#include "../SqlTokenizer.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace velmora::db {
namespace {

// Words that are SQL keywords wherever they appear in the engine's statements; a column that
// shares a keyword's spelling ("Delete", "Add") is always written quoted.
bool IsReservedWord(const std::string& lower) {
    static const char* const kWords[] = {
        "select",  "from",      "where",   "and",      "or",      "not",    "in",      "is",
        "null",    "like",      "order",   "by",       "group",   "having", "asc",     "desc",
        "insert",  "into",      "values",  "update",   "set",     "delete", "create",  "table",
        "index",   "on",        "as",      "distinct", "join",    "inner",  "left",    "outer",
        "union",   "all",       "limit",   "offset",   "between", "exists", "case",    "when",
        "then",    "else",      "end",     "add",      "drop",    "alter",  "primary", "key",
        "default", "returning", "collate", "escape",   "true",    "false",  "cross",   "using"};
    return std::find(std::begin(kWords), std::end(kWords), lower) != std::end(kWords);
}

} // namespace

std::string LowerName(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

ServerStatement TranslateForServer(const std::string& sql, const NameDictionary& names,
                                   size_t valueCount, bool exact) {
    // A NUL byte would end the text early on its way to the server: "DELETE FROM t\0 WHERE ..."
    // must never run without its condition.
    if (sql.find('\0') != std::string::npos)
        Fail(kErrCommand, "Characters found after end of SQL statement.");
    const std::vector<Token> tokens = Tokenize(sql);
    std::map<size_t, size_t> numbers; // placeholder number -> new number
    std::string out;
    out.reserve(sql.size() + 16);
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const std::string_view text(sql.data() + token.begin, token.end - token.begin);
        if (token.kind == TokenKind::Symbol && text == "?" && i + 1 < tokens.size() &&
            tokens[i + 1].kind == TokenKind::Number && tokens[i + 1].begin == token.end) {
            const std::string digits(sql, tokens[i + 1].begin,
                                     tokens[i + 1].end - tokens[i + 1].begin);
            const size_t number = std::stoul(digits);
            if (number == 0 || number > valueCount) {
                Fail(kErrParameter, "No value given for one or more required parameters.");
            }
            auto [at, added] = numbers.emplace(number, numbers.size() + 1);
            (void)added;
            out += "$" + std::to_string(at->second);
            ++i;
            continue;
        }
        if (token.kind == TokenKind::Symbol && text == "?") {
            Fail(kErrParameter, "Parameters are given as ? placeholders, in order.");
        }
        // A blob literal, X'0A1B', is bytea's hex form.
        if (token.kind == TokenKind::Word && (text == "X" || text == "x") &&
            i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::String &&
            tokens[i + 1].begin == token.end) {
            const std::string_view hex(sql.data() + tokens[i + 1].begin + 1,
                                       tokens[i + 1].end - tokens[i + 1].begin - 2);
            out += "'\\x";
            out.append(hex);
            out += "'::bytea";
            ++i;
            continue;
        }
        if (token.kind == TokenKind::Word || token.kind == TokenKind::QuotedName) {
            const std::string name = NameOf(sql, token);
            const std::string lower = LowerName(name);
            const bool quoted = token.kind == TokenKind::QuotedName;
            // A word followed by "(" is a function; a keyword stays a keyword unless quoted.
            size_t next = i + 1;
            while (next < tokens.size() && tokens[next].kind == TokenKind::Space)
                ++next;
            const bool call = !quoted && next < tokens.size() &&
                              tokens[next].kind == TokenKind::Symbol &&
                              sql[tokens[next].begin] == '(';
            const auto known = names.find(lower);
            if (known != names.end() && !call && (quoted || !IsReservedWord(lower))) {
                out += QuoteName(known->second);
                continue;
            }
            if (quoted) {
                out += QuoteName(name);
                continue;
            }
        }
        out.append(text);
    }
    if (exact && numbers.size() < valueCount) {
        Fail(kErrParameter,
             "More parameter values were given than the statement has placeholders.");
    }
    ServerStatement result{std::move(out), {}};
    result.parameterOrder.resize(numbers.size());
    for (const auto& [number, position] : numbers)
        result.parameterOrder[position - 1] = number - 1;
    return result;
}

} // namespace velmora::db
