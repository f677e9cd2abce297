#include "SelectShape.h"

#include "SqlTokenizer.h"

#include <array>
#include <string_view>

namespace velmora::db {
namespace {

bool IsAnyKeyword(std::string_view sql, const Token& token,
                  std::initializer_list<std::string_view> keywords) {
    for (const std::string_view keyword : keywords) {
        if (IsKeyword(sql, token, keyword)) return true;
    }
    return false;
}

// Words after the table reference that end it.
bool EndsTableReference(std::string_view sql, const Token& token) {
    return IsAnyKeyword(sql, token, {"WHERE", "ORDER", "LIMIT"});
}

} // namespace

SelectShape AnalyseSelect(const std::string& sql) {
    SelectShape shape;
    std::vector<Token> tokens;
    for (const Token& token : Tokenize(sql)) {
        if (token.kind != TokenKind::Space) tokens.push_back(token);
    }
    // A trailing ';' belongs to no clause.
    while (!tokens.empty() && tokens.back().kind == TokenKind::Symbol &&
           sql[tokens.back().begin] == ';') {
        tokens.pop_back();
    }
    if (tokens.empty() || !IsKeyword(sql, tokens[0], "SELECT")) return shape;
    if (tokens.size() > 1 && IsAnyKeyword(sql, tokens[1], {"DISTINCT"})) return shape;

    size_t from = 0;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.depth != 0) continue;
        if (IsAnyKeyword(
                sql, token,
                {"GROUP", "HAVING", "WINDOW", "UNION", "INTERSECT", "EXCEPT", "JOIN", "VALUES"})) {
            return shape;
        }
        if (from == 0 && IsKeyword(sql, token, "FROM")) from = i;
    }
    if (from == 0 || from + 1 >= tokens.size()) return shape;

    // FROM name [AS alias | alias], optionally schema-qualified.
    size_t i = from + 1;
    if (tokens[i].kind != TokenKind::Word && tokens[i].kind != TokenKind::QuotedName) return shape;
    size_t nameToken = i++;
    if (i + 1 < tokens.size() && tokens[i].kind == TokenKind::Symbol &&
        sql[tokens[i].begin] == '.' &&
        (tokens[i + 1].kind == TokenKind::Word || tokens[i + 1].kind == TokenKind::QuotedName)) {
        nameToken = i + 1;
        i += 2;
    }
    shape.table = NameOf(sql, tokens[nameToken]);
    shape.reference =
        sql.substr(tokens[from + 1].begin, tokens[nameToken].end - tokens[from + 1].begin);
    if (i < tokens.size() && IsKeyword(sql, tokens[i], "AS")) ++i;
    if (i < tokens.size() && !EndsTableReference(sql, tokens[i]) &&
        (tokens[i].kind == TokenKind::Word || tokens[i].kind == TokenKind::QuotedName)) {
        shape.reference = sql.substr(tokens[i].begin, tokens[i].end - tokens[i].begin);
        ++i;
    }
    if (i < tokens.size() && !EndsTableReference(sql, tokens[i])) return shape; // join, subquery...

    const size_t restBegin = tokens[from].end;
    for (size_t k = i; k < tokens.size(); ++k) {
        if (tokens[k].depth != 0) continue;
        if (IsKeyword(sql, tokens[k], "ORDER")) shape.hasOrderBy = true;
        if (IsKeyword(sql, tokens[k], "LIMIT") && shape.limitOffset == std::string::npos) {
            shape.limitOffset = tokens[k].begin - restBegin;
        }
    }
    shape.selectList = sql.substr(tokens[0].end, tokens[from].begin - tokens[0].end);
    shape.fromRest = sql.substr(restBegin, tokens.back().end - restBegin);
    shape.singleTable = true;
    return shape;
}

} // namespace velmora::db
