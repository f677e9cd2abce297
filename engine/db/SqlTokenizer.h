#pragma once
// A lexical pass over SQL text that knows where string literals, quoted names and comments are,
// so that statement texts can be inspected and rewritten without touching their literals.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::db {

enum class TokenKind {
    Space,       // blanks and comments
    Word,        // a keyword or a plain name
    QuotedName,  // "name", [name] or `name`
    String,      // 'text' (quotes inside doubled)
    Number,      // 12, 3.5, 1e3
    DateLiteral, // #...#: the text between the hashes is in Token::inner
    Symbol       // every other character, one at a time
};

struct Token {
    TokenKind kind;
    size_t begin;           // offset in the text
    size_t end;             // one past the last character
    int depth;              // parenthesis depth at the token ('(' itself counts as the outer depth)
    std::string_view inner; // DateLiteral: the text between the hashes
};

std::vector<Token> Tokenize(std::string_view sql);

// True when the word token spells keyword, without regard to case.
bool IsKeyword(std::string_view sql, const Token& token, std::string_view keyword);

// The name a Word or QuotedName token stands for (quotes removed, doubled quotes undone).
std::string NameOf(std::string_view sql, const Token& token);

} // namespace velmora::db
