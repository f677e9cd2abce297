#include "DatabaseProbe.h"

#include <sqlite3.h>

#include <stdexcept>

namespace velmora::stress {

DatabaseProbe::DatabaseProbe(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path + ": " + reason);
    }
    sqlite3_busy_timeout(db_, 10000);
}

DatabaseProbe::~DatabaseProbe() {
    sqlite3_close(db_);
}

std::vector<std::vector<std::string>> DatabaseProbe::Rows(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        const std::string reason = sqlite3_errmsg(db_);
        sqlite3_finalize(statement);
        throw std::runtime_error(reason + " in " + sql);
    }
    std::vector<std::vector<std::string>> rows;
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = sqlite3_column_text(statement, i);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "",
                             static_cast<size_t>(sqlite3_column_bytes(statement, i)));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errstr(rc)) + " in " + sql);
    return rows;
}

std::string DatabaseProbe::Scalar(const std::string& sql) const {
    const auto rows = Rows(sql);
    return rows.empty() || rows.front().empty() ? "" : rows.front().front();
}

} // namespace velmora::stress
