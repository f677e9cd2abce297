#include "DatabaseProbe.h"

#include <stdexcept>

#include "engine/db/ConnectionString.h"
#include "engine/db/DataSource.h"
#include "engine/db/Database.h"

namespace velmora::stress {

DatabaseProbe::DatabaseProbe(const std::string& dataSource)
    : connection_(std::make_unique<db::Connection>()),
      onServer_(db::IsServerDataSource(dataSource)) {
    try {
        connection_->Open(db::MakeConnectionString(dataSource));
    } catch (const db::DbError& error) {
        throw std::runtime_error("cannot open " + db::MaskedDataSource(dataSource) + ": " +
                                 error.Description());
    }
}

DatabaseProbe::~DatabaseProbe() = default;

std::vector<std::vector<std::string>> DatabaseProbe::Rows(const std::string& sql) const {
    std::vector<std::vector<std::string>> rows;
    try {
        db::Recordset set;
        set.Open(sql, *connection_, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        const db::LONG columns = set.FieldCount();
        for (; !set.IsEOF(); set.MoveNext()) {
            std::vector<std::string> row;
            row.reserve(static_cast<size_t>(columns));
            for (db::LONG i = 0; i < columns; ++i)
                row.push_back(set.GetValue(i).toText());
            rows.push_back(std::move(row));
        }
    } catch (const db::DbError& error) {
        throw std::runtime_error(error.Description() + " in " + sql);
    }
    return rows;
}

std::string DatabaseProbe::Scalar(const std::string& sql) const {
    const auto rows = Rows(sql);
    return rows.empty() || rows.front().empty() ? "" : rows.front().front();
}

} // namespace velmora::stress
