#pragma once
// The fixed initial state of every Blowfish key schedule.
#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora::crypto::detail {

inline constexpr size_t kPWords = 18;
inline constexpr size_t kSBoxes = 4;
inline constexpr size_t kSBoxWords = 256;

extern const std::array<uint32_t, kPWords> kInitialP;
extern const std::array<std::array<uint32_t, kSBoxWords>, kSBoxes> kInitialS;

} // namespace velmora::crypto::detail
