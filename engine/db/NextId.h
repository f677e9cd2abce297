#pragma once
// Identifier allocation from the one-row counter table tNextID.
#include <cstdint>
#include <string>

namespace velmora::db {

// Hands out the next identifier of the named tNextID counter column and advances the counter,
// atomically across connections and processes. Returns 0 when nothing could be allocated (the
// reason is in Err.log); callers treat 0 as failure.
int32_t GetNextID(const std::string& counterColumn);

} // namespace velmora::db
