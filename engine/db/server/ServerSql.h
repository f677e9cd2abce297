#pragma once
// Statement texts as the engine writes them (SQLite's dialect: `?N` placeholders, names in any
// letter case, quoted or not) turned into PostgreSQL's.
//
// Tables and columns are created with their names quoted, so that they keep their letter case;
// PostgreSQL folds unquoted names to lower case, so every name the database knows is quoted in
// the statement with the case it was created with. Words that are not known names (keywords,
// functions, aliases) stay as they are.
#include "../Database.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velmora::db {

// Known table and column names by their lower-case spelling.
using NameDictionary = std::unordered_map<std::string, std::string>;

struct ServerStatement {
    std::string text;
    // The values to send, in the order of $1, $2, ...: a statement derived from a longer text
    // may use only some of the numbered placeholders, which are numbered anew without gaps.
    std::vector<size_t> parameterOrder;
};

// Lower-case names of the columns that hold numbers.
using NumberColumns = std::unordered_set<std::string>;

// Translates sql (placeholders numbered "?1", "?2", ...). valueCount is the number of values the
// caller has; with exact set, every placeholder 1..valueCount must be used and no other, as a
// statement run on its own must (kErrParameter otherwise). A number column (from numbers) on the
// left of LIKE is compared as its text, and a number on the right as a text, as a file does.
ServerStatement TranslateForServer(const std::string& sql, const NameDictionary& names,
                                   size_t valueCount, bool exact,
                                   const NumberColumns* numbers = nullptr);

// The lower-case spelling used as a dictionary key.
std::string LowerName(const std::string& name);

} // namespace velmora::db
