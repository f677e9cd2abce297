#pragma once
// Status codes and texts of the data-access layer's errors, in the provider's wording so that a
// logged error reads as it did on the original platform.
#include "DbError.h"

#include <cstdint>
#include <string>

struct sqlite3;

namespace velmora::db {

inline constexpr int32_t kErrFail = static_cast<int32_t>(0x80004005);          // E_FAIL
inline constexpr int32_t kErrCommand = static_cast<int32_t>(0x80040E14);       // bad statement
inline constexpr int32_t kErrConcurrency = static_cast<int32_t>(0x80040E38);   // row changed
inline constexpr int32_t kErrDeletedRow = static_cast<int32_t>(0x80040E23);    // row deleted
inline constexpr int32_t kErrCantFetchBack = static_cast<int32_t>(0x80040E24); // forward only
inline constexpr int32_t kErrParameter = static_cast<int32_t>(0x80040E10);     // missing value
inline constexpr int32_t kErrNoTransaction = static_cast<int32_t>(0x8004D00E); // no transaction
inline constexpr int32_t kErrNoCurrentRecord = static_cast<int32_t>(0x800A0BCD);
inline constexpr int32_t kErrInvalidArgument = static_cast<int32_t>(0x800A0BB9);
inline constexpr int32_t kErrIllegalOperation = static_cast<int32_t>(0x800A0C93);
inline constexpr int32_t kErrNotUpdatable = static_cast<int32_t>(0x800A0CB3);
inline constexpr int32_t kErrItemNotFound = static_cast<int32_t>(0x800A0CC1);
inline constexpr int32_t kErrObjectClosed = static_cast<int32_t>(0x800A0E78);
inline constexpr int32_t kErrObjectOpen = static_cast<int32_t>(0x800A0E79);

[[noreturn]] void Fail(int32_t code, const std::string& description);

[[noreturn]] void FailNoCurrentRecord();
[[noreturn]] void FailClosed();
[[noreturn]] void FailNotUpdatable();
[[noreturn]] void FailConcurrency();

// Throws the error SQLite reports for rc on db.
[[noreturn]] void FailSqlite(sqlite3* db, int rc);

} // namespace velmora::db
