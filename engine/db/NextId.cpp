#include "NextId.h"

#include "../log/Log.h"
#include "ConnectionString.h"
#include "Database.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace velmora::db {
namespace {

constexpr const char* kSource = "GetNextID";

bool IsColumnName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_';
    });
}

} // namespace

int32_t GetNextID(const std::string& counterColumn) {
    // The counter name becomes part of the statement, so only a plain column name is accepted.
    if (!IsColumnName(counterColumn)) {
        log::LogError(9, kSource, "Invalid counter name '" + counterColumn + "'");
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
