#include "ContentDigest.h"

#include <sqlite3.h>

namespace velmora::db {
namespace {

void DigestFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const bool isBlob = sqlite3_value_type(arguments[0]) == SQLITE_BLOB;
    const void* data = isBlob ? sqlite3_value_blob(arguments[0])
                              : static_cast<const void*>(sqlite3_value_text(arguments[0]));
    const int size = sqlite3_value_bytes(arguments[0]);
    sqlite3_result_int64(context, ContentDigest(data, static_cast<size_t>(size)));
}

} // namespace

// 64-bit FNV-1a.
int64_t ContentDigest(const void* data, size_t size) {
    uint64_t hash = 14695981039346656037ull;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return static_cast<int64_t>(hash);
}

int RegisterDigestFunction(sqlite3* db) {
    return sqlite3_create_function_v2(db, "velmora_digest", 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                      nullptr, DigestFunction, nullptr, nullptr, nullptr);
}

} // namespace velmora::db
