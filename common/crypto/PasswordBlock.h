#pragma once
// The stored form of a user's password: 64 bytes, the Blowfish ECB encipherment under a fixed
// key of the password's UTF-8 bytes followed by zero bytes. The trailing zero byte ends the text,
// so a password holds at most 63 bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora::crypto {

inline constexpr size_t kPasswordBlockSize = 64;
inline constexpr size_t kMaxPasswordBytes = kPasswordBlockSize - 1;

// "The password is too long: it may hold at most 63 bytes."
extern const char* const kPasswordTooLongMessage;

// True when the password fits the stored form (at most kMaxPasswordBytes bytes).
bool PasswordFits(const std::string& utf8);

// The 64-byte stored form of a password. Raises std::length_error with kPasswordTooLongMessage
// when the password does not fit; callers check PasswordFits first and refuse the change.
std::array<uint8_t, kPasswordBlockSize> EncipherPassword(const std::string& utf8);

// The password held by a stored block: the deciphered bytes up to the first zero byte.
// No data (null or size 0) is the empty password, as a NULL column is. Bytes beyond the 64th are
// ignored; a shorter block is deciphered as if padded with zero bytes: its whole 8-byte blocks
// still read correctly and a cut block gives text no one types, so a damaged column does not
// read as the empty password.
std::string DecipherPassword(const uint8_t* data, size_t size);

} // namespace velmora::crypto
