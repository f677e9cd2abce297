#pragma once
// The layout of a Velmora database and the seed database a team starts from.
#include <string>
#include <vector>

namespace velmora::db {

class Connection;

// Every table of a Velmora database, in the order they are created (and copied).
const std::vector<std::string>& TableNames();

// Every column name of those tables (each name once).
const std::vector<std::string>& SchemaColumnNames();

// Creates every table and index on the connection's database, and the seed rows when seedRows
// is set, each statement through the connection (inside whatever transaction it has open).
// The statements suit the connection's kind of database. Throws DbError.
void CreateSchema(Connection& connection, bool seedRows);

// Whether the connection's database holds any table at all (a destination that does is never
// written into).
bool HasTables(Connection& connection);

// Creates a new, empty, valid database at path: every table and column in its binding order,
// the keys and indexes the engine's statements need, one tNextID row, the user Admin with the
// empty password and the seeded lookup lists. Never overwrites: an existing path is refused.
// Returns an empty string on success, else a one-line description of what went wrong (the
// half-made file is removed). A server data source (a postgresql:// URI) names an existing
// database that must not hold any table yet; it is filled in one transaction.
std::string CreateSeedDatabase(const std::string& path);

} // namespace velmora::db
