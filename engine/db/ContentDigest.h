#pragma once
// A 64-bit fingerprint of a long text, so that a value not kept in memory can still be compared
// with what is stored: in C++ when the value is read, in SQL through the function
// velmora_digest(x) when the row is written back.
#include <cstddef>
#include <cstdint>

struct sqlite3;

namespace velmora::db {

int64_t ContentDigest(const void* data, size_t size);

// Makes velmora_digest(x) available on db: the ContentDigest of x's text or bytes, NULL for NULL.
int RegisterDigestFunction(sqlite3* db);

} // namespace velmora::db
