#include "ServerSql.h"

#include "../ErrorCodes.h"
#include "../RowStore.h"
#include "../SqlTokenizer.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace velmora::db {
namespace {

// Functions the engine's statements call; a known name followed by "(" is one of these only.
bool IsFunctionName(const std::string& lower) {
    static const char* const kFunctions[] = {
        "count",        "max",        "min",          "sum",     "avg",   "length",
        "octet_length", "substr",     "substring",    "lower",   "upper", "coalesce",
        "nullif",       "abs",        "round",        "replace", "trim",  "position",
        "md5",          "convert_to", "convert_from", "exists",  "cast"};
    return std::find(std::begin(kFunctions), std::end(kFunctions), lower) != std::end(kFunctions);
}

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
                                   size_t valueCount, bool exact,
                                   const NumberColumns* numberColumns) {
    // A NUL byte would end the text early on its way to the server: "DELETE FROM t\0 WHERE ..."
    // must never run without its condition.
    if (sql.find('\0') != std::string::npos)
        Fail(kErrCommand, "Characters found after end of SQL statement.");
    const std::vector<Token> tokens = Tokenize(sql);
    std::map<size_t, size_t> numbers; // placeholder number -> new number
    std::string out;
    out.reserve(sql.size() + 16);
    // Where the last name (with its qualifier) began in out, and whether it is a number column.
    size_t nameStart = std::string::npos;
    size_t nameEnd = std::string::npos;
    bool numberName = false;
    bool afterLike = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        const std::string_view text(sql.data() + token.begin, token.end - token.begin);
        if (token.kind != TokenKind::Space) {
            const bool like = IsKeyword(sql, token, "LIKE");
            if (like && numberName && nameEnd != std::string::npos &&
                out.find_first_not_of(" \t\r\n", nameEnd) == std::string::npos) {
                out.insert(nameEnd, " AS text)");
                out.insert(nameStart, "CAST(");
            }
            if (afterLike && token.kind == TokenKind::Number) {
                out += "'";
                out.append(text);
                out += "'";
                afterLike = false;
                continue;
            }
            afterLike = like;
        }
        if (token.kind == TokenKind::Space) {
            out.append(text); // blanks between a name and LIKE keep the name the operand
            continue;
        }
        const bool qualified =
            i > 0 && tokens[i - 1].kind == TokenKind::Symbol && sql[tokens[i - 1].begin] == '.';
        const size_t tokenStart = out.size();
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
            // A known table or column name followed by "(" is a table in CREATE TABLE, INSERT
            // INTO or CREATE INDEX; only the few functions there are stay calls.
            const bool call = !quoted && next < tokens.size() &&
                              tokens[next].kind == TokenKind::Symbol &&
                              sql[tokens[next].begin] == '(' && IsFunctionName(lower);
            const auto known = names.find(lower);
            if (!qualified) nameStart = tokenStart;
            numberName = numberColumns != nullptr && numberColumns->contains(lower);
            if (known != names.end() && !call && (quoted || !IsReservedWord(lower))) {
                out += QuoteName(known->second);
                nameEnd = out.size();
                continue;
            }
            if (quoted) {
                out += QuoteName(name);
                nameEnd = out.size();
                continue;
            }
            out.append(text);
            nameEnd = out.size();
            continue;
        }
        out.append(text);
        // A qualifier's dot keeps the name going; anything else ends it.
        if (!(token.kind == TokenKind::Symbol && text == "."))
            nameEnd = std::string::npos;
        else
            nameEnd = out.size();
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
