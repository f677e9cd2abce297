#pragma once
// Recognises statements a keyed cursor can serve: a plain SELECT over one table.
#include <string>

namespace velmora::db {

struct SelectShape {
    bool singleTable = false; // SELECT over one table: no join, DISTINCT, GROUP BY or compound
    std::string table;        // the table's name (unquoted)
    std::string reference;    // how the statement refers to it: its alias, else its name as written
    std::string selectList;   // text between SELECT and FROM
    std::string fromRest;     // text after FROM (table, conditions, order, limit)
    bool hasOrderBy = false;
    size_t limitOffset = std::string::npos; // offset of a top-level LIMIT within fromRest
};

SelectShape AnalyseSelect(const std::string& sql);

} // namespace velmora::db
