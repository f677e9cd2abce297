#include "NextId.h"

#include "../log/Log.h"
#include "ConnectionString.h"
#include "DataSource.h"
#include "DataSourcePath.h"
#include "Database.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

namespace velmora::db {
namespace {

constexpr const char* kSource = "GetNextID";

bool IsColumnName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_';
    });
}

// On a server the counter moves in one statement under the writers' lock. nullopt when the
// counter cannot hand out an identifier (the general path below says why) or the server fails.
std::optional<int32_t> NextOnServer(const std::string& counterColumn) {
    Connection connection;
    connection.Open(ProcessConnectionString());
    Transaction transaction(connection);
    const std::string value = "COALESCE(" + counterColumn + ", 0)";
    Recordset counter;
    counter.Open("UPDATE tNextID SET " + counterColumn + " = " + value + " + 1 WHERE " + value +
                     " >= 0 AND " + value + " < 2147483647 RETURNING " + counterColumn + " - 1",
                 connection, CursorType::ForwardOnly, LockType::ReadOnly);
    if (!counter.IsOpen() || counter.IsEOF()) return std::nullopt;
    const int32_t result = counter.GetValue(0).asInt();
    counter.Close();
    transaction.Commit();
    return result;
}

} // namespace

int32_t GetNextID(const std::string& counterColumn) {
    // The counter name becomes part of the statement, so only a plain column name is accepted.
    if (!IsColumnName(counterColumn)) {
        log::LogError(9, kSource, "Invalid counter name '" + counterColumn + "'");
        return 0;
    }
    try {
        if (IsServerDataSource(DataSourcePath(ProcessConnectionString()))) {
            if (const auto next = NextOnServer(counterColumn)) return *next;
        }
    } catch (const DbError& error) {
        log::LogComError(9, kSource, error);
        return 0;
    }
    Recordset counter;
    try {
        // A pessimistic lock holds the write lock from the read to the update, so two clients
        // never receive the same identifier.
        counter.Open("select " + counterColumn + " from tNextID", ProcessConnectionString(),
                     CursorType::Dynamic, LockType::Pessimistic);
        const int32_t result = counter.GetValue(0).asInt();
        // A counter past the largest identifier (or below zero) hands out nothing rather than a
        // wrapped or negative value. A counter of 0 (or NULL) gives 0, "none", once and moves on
        // to 1.
        if (result < 0 || result == std::numeric_limits<int32_t>::max()) {
            counter.Close();
            log::LogError(9, kSource,
                          "Counter " + counterColumn + " holds " + std::to_string(result) +
                              ": no identifier is left to hand out");
            return 0;
        }
        counter.SetValue(0, Value::Int(result + 1));
        counter.Update();
        counter.Close();
        return result;
    } catch (const DbError& error) {
        log::LogComError(9, kSource, error);
        try {
            if (counter.IsOpen()) {
                if (counter.IsNewRecord()) counter.CancelUpdate();
                counter.Close();
            }
        } catch (const DbError&) {
            // The record set is being abandoned; its destructor releases what is left.
        }
        return 0;
    }
}

} // namespace velmora::db
