#include "SqliteBudget.h"

#include <sqlite3.h>

#include <cstring>

namespace velmora::fuzz {
namespace {

constexpr int kStepsPerTick = 1000;
constexpr long kTicksPerInput = 20000; // 20 million virtual-machine steps
constexpr int kLongestValue = 1000000;

long ticks = 0;

int CountTick(void*) {
    return ++ticks > kTicksPerInput ? 1 : 0;
}

int Authorize(void*, int action, const char* first, const char*, const char*, const char*) {
    if (action == SQLITE_ATTACH || action == SQLITE_DETACH) return SQLITE_DENY;
    if (action == SQLITE_PRAGMA && first != nullptr &&
        (sqlite3_stricmp(first, "temp_store_directory") == 0 ||
         sqlite3_stricmp(first, "data_store_directory") == 0))
        return SQLITE_DENY;
    return SQLITE_OK;
}

int LimitHandle(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLongestValue);
    sqlite3_progress_handler(db, kStepsPerTick, CountTick, nullptr);
    sqlite3_set_authorizer(db, Authorize, nullptr);
    return SQLITE_OK;
}

} // namespace

void InstallSqliteBudget() {
    static const bool installed = [] {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(LimitHandle));
        return true;
    }();
    (void)installed;
}

void StartSqliteBudget() {
    ticks = 0;
}

} // namespace velmora::fuzz
