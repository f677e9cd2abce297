#pragma once
// What a server database's tables look like, read from its catalog: every column's declared
// kind (in the terms the row mapping reads: "INTEGER", "YESNO INTEGER", "DATE REAL", ...), the
// column that names a row, and the dictionary of names that statement translation quotes.
#include "ServerSql.h"

#include <libpq-fe.h>

#include <map>
#include <string>
#include <vector>

namespace velmora::db {

// The hidden column that names the rows of a table without a key of its own. Nothing the
// engine reads ever shows it.
inline constexpr const char* kHiddenKey = "velmora_rowid";

struct ServerColumn {
    std::string name;
    std::string declType; // as the row mapping reads it
    bool hidden = false;
};

struct ServerTable {
    std::string name;
    std::vector<ServerColumn> columns; // by attribute number - 1 (dropped columns keep a slot)
    std::string key;                   // the integer primary key, else the hidden key column
};

class ServerCatalog {
  public:
    // Reads the catalog of the connection's current schema. Throws DbError.
    void Load(PGconn* connection);

    const ServerTable* TableByOid(Oid table) const;
    const ServerTable* TableByName(const std::string& name) const; // without regard to case
    const NameDictionary& Names() const { return names_; }
    const NumberColumns& Numbers() const { return numbers_; }

  private:
    std::map<Oid, ServerTable> tables_;
    std::map<std::string, Oid> byLowerName_;
    NameDictionary names_;
    NumberColumns numbers_;
};

// The declared type the row mapping reads for a server type name ("yesno", "int4", "citext").
std::string DeclaredTypeOf(const std::string& typeName);

} // namespace velmora::db
