#pragma once
// Reproducible contents and short fingerprints, so a journal can name a long text or a file's
// bytes without holding them.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::stress {

// 64-bit FNV-1a of the bytes, as 16 hexadecimal digits.
std::string Fingerprint(std::string_view bytes);

// `size` bytes made from `seed` alone; printable when `text` is true.
std::string PatternBytes(uint64_t seed, size_t size, bool text);

// The next number of a splitmix64 sequence kept in `state`.
uint64_t NextRandom(uint64_t& state);

} // namespace velmora::stress
