#include "SqlTokenizer.h"

#include <cctype>

namespace velmora::db {
namespace {

bool IsWordStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsWordChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

// End of a quoted run that starts at begin with quote character open and ends with close;
// a doubled closing character stands for itself. Unterminated runs end at the end of the text.
size_t QuotedEnd(std::string_view sql, size_t begin, char close, bool doubledEscapes) {
    size_t i = begin + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

// A date literal is a '#' followed, on the same line and within a short distance, by another
// '#'; anything else is an ordinary symbol.
size_t DateLiteralEnd(std::string_view sql, size_t begin) {
    constexpr size_t kLongestLiteral = 40;
    for (size_t i = begin + 1; i < sql.size() && i <= begin + kLongestLiteral; ++i) {
        if (sql[i] == '#') return i + 1;
        if (sql[i] == '\n' || sql[i] == '\'' || sql[i] == ';') return std::string_view::npos;
    }
    return std::string_view::npos;
}

size_t NumberEnd(std::string_view sql, size_t i) {
    while (i < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.')) {
        ++i;
    }
    if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
        size_t j = i + 1;
        if (j < sql.size() && (sql[j] == '+' || sql[j] == '-')) ++j;
        if (j < sql.size() && std::isdigit(static_cast<unsigned char>(sql[j]))) {
            i = j;
            while (i < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i])))
                ++i;
        }
    }
    return i;
}

} // namespace

std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    int depth = 0;
    size_t i = 0;
    while (i < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        Token token{TokenKind::Symbol, i, i + 1, depth, {}};
        if (std::isspace(c)) {
            token.kind = TokenKind::Space;
            while (token.end < sql.size() &&
                   std::isspace(static_cast<unsigned char>(sql[token.end]))) {
                ++token.end;
            }
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            token.kind = TokenKind::Space;
            const size_t eol = sql.find('\n', i);
            token.end = eol == std::string_view::npos ? sql.size() : eol + 1;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            token.kind = TokenKind::Space;
            const size_t close = sql.find("*/", i + 2);
            token.end = close == std::string_view::npos ? sql.size() : close + 2;
        } else if (c == '\'') {
            token.kind = TokenKind::String;
            token.end = QuotedEnd(sql, i, '\'', true);
        } else if (c == '"' || c == '`') {
            token.kind = TokenKind::QuotedName;
            token.end = QuotedEnd(sql, i, static_cast<char>(c), true);
        } else if (c == '[') {
            token.kind = TokenKind::QuotedName;
            token.end = QuotedEnd(sql, i, ']', false);
        } else if (c == '#') {
            const size_t end = DateLiteralEnd(sql, i);
            if (end != std::string_view::npos) {
                token.kind = TokenKind::DateLiteral;
                token.end = end;
                token.inner = sql.substr(i + 1, end - i - 2);
            }
        } else if (std::isdigit(c) || (c == '.' && i + 1 < sql.size() &&
                                       std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            token.kind = TokenKind::Number;
            token.end = NumberEnd(sql, i);
        } else if (IsWordStart(c)) {
            token.kind = TokenKind::Word;
            while (token.end < sql.size() &&
                   IsWordChar(static_cast<unsigned char>(sql[token.end]))) {
                ++token.end;
            }
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0) --depth;
            token.depth = depth;
        }
        tokens.push_back(token);
        i = token.end;
    }
    return tokens;
}

bool IsKeyword(std::string_view sql, const Token& token, std::string_view keyword) {
    if (token.kind != TokenKind::Word || token.end - token.begin != keyword.size()) return false;
    for (size_t k = 0; k < keyword.size(); ++k) {
        if (std::toupper(static_cast<unsigned char>(sql[token.begin + k])) !=
            std::toupper(static_cast<unsigned char>(keyword[k]))) {
            return false;
        }
    }
    return true;
}

std::string NameOf(std::string_view sql, const Token& token) {
    const std::string_view text = sql.substr(token.begin, token.end - token.begin);
    if (token.kind != TokenKind::QuotedName || text.size() < 2) return std::string(text);
    const char close = text.front() == '[' ? ']' : text.front();
    std::string name;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        name += text[i];
        if (text[i] == close && close != ']' && i + 2 < text.size() && text[i + 1] == close) ++i;
    }
    return name;
}

} // namespace velmora::db
