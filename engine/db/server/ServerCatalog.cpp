#include "ServerCatalog.h"

#include "../Schema.h"
#include "PgResult.h"

#include <cstdlib>

namespace velmora::db {
namespace {

constexpr const char* kCatalogQuery =
    "SELECT c.oid, c.relname, a.attnum, a.attname, t.typname, "
    "EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = c.oid AND i.indisprimary "
    "AND i.indnatts = 1 AND i.indkey[0] = a.attnum) "
    "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "JOIN pg_attribute a ON a.attrelid = c.oid JOIN pg_type t ON t.oid = a.atttypid "
    "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') AND a.attnum > 0 "
    "AND NOT a.attisdropped ORDER BY c.oid, a.attnum";

} // namespace

std::string DeclaredTypeOf(const std::string& typeName) {
    if (typeName == "yesno") return "YESNO INTEGER";
    if (typeName == "byte") return "BYTE INTEGER";
    if (typeName == "oledate") return "DATE REAL";
    if (typeName == "int2" || typeName == "int4" || typeName == "int8") return "INTEGER";
    if (typeName == "float4" || typeName == "float8" || typeName == "numeric") return "REAL";
    if (typeName == "bytea") return "BLOB";
    return "TEXT";
}

void ServerCatalog::Load(PGconn* connection) {
    PgResult result(PQexec(connection, kCatalogQuery));
    if (!Succeeded(result.get())) FailServer(connection, result.get());
    tables_.clear();
    byLowerName_.clear();
    names_.clear();
    numbers_.clear();
    // The names of a new database's own schema are known before its tables exist, so that the
    // statements creating them quote them as well.
    for (const std::string& table : TableNames())
        names_.emplace(LowerName(table), table);
    for (const std::string& column : SchemaColumnNames())
        names_.emplace(LowerName(column), column);
    const int rows = PQntuples(result.get());
    for (int row = 0; row < rows; ++row) {
        const Oid oid =
            static_cast<Oid>(std::strtoul(PQgetvalue(result.get(), row, 0), nullptr, 10));
        ServerTable& table = tables_[oid];
        table.name = PQgetvalue(result.get(), row, 1);
        const auto number = static_cast<size_t>(std::atoi(PQgetvalue(result.get(), row, 2)));
        ServerColumn column;
        column.name = PQgetvalue(result.get(), row, 3);
        column.declType = DeclaredTypeOf(PQgetvalue(result.get(), row, 4));
        column.hidden = column.name == kHiddenKey;
        const bool primary = PQgetvalue(result.get(), row, 5)[0] == 't';
        if (primary && column.declType == "INTEGER") table.key = column.name;
        if (column.hidden && table.key.empty()) table.key = column.name;
        if (table.columns.size() < number) table.columns.resize(number);
        names_[LowerName(column.name)] = column.name;
        if (column.declType != "TEXT" && column.declType != "BLOB")
            numbers_.insert(LowerName(column.name));
        table.columns[number - 1] = std::move(column);
        byLowerName_[LowerName(table.name)] = oid;
        names_[LowerName(table.name)] = table.name;
    }
}

const ServerTable* ServerCatalog::TableByOid(Oid table) const {
    const auto it = tables_.find(table);
    return it == tables_.end() ? nullptr : &it->second;
}

const ServerTable* ServerCatalog::TableByName(const std::string& name) const {
    const auto it = byLowerName_.find(LowerName(name));
    return it == byLowerName_.end() ? nullptr : TableByOid(it->second);
}

} // namespace velmora::db
