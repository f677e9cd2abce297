#include "Fingerprint.h"

#include <cstdio>

namespace velmora::stress {

std::string Fingerprint(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

uint64_t NextRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string PatternBytes(uint64_t seed, size_t size, bool text) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,'\"\n";
    std::string bytes;
    bytes.reserve(size);
    uint64_t state = seed;
    while (bytes.size() < size) {
        uint64_t word = NextRandom(state);
        for (int i = 0; i < 8 && bytes.size() < size; ++i, word >>= 8) {
            const auto byte = static_cast<unsigned char>(word & 0xFF);
            bytes += text ? kLetters[byte % kLetters.size()] : static_cast<char>(byte);
        }
    }
    return bytes;
}

} // namespace velmora::stress
