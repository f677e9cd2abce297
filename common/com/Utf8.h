#pragma once
// Decoding of UTF-8 text one character at a time, shared by the text conversions and the registry
// file reader and writer.
#include <cstddef>
#include <string_view>

namespace velmora::com::utf8 {

// The character decoded at one position: when valid is false, length is the number of bytes that
// form the longest invalid prefix (at least 1), which is replaced by one U+FFFD.
struct Decoded {
    char32_t codePoint = 0;
    size_t length = 0;
    bool valid = false;
};

// Decodes the character starting at text[pos]; pos must be inside the text.
Decoded DecodeAt(std::string_view text, size_t pos);

// True when every byte of the text belongs to a well-formed UTF-8 sequence.
bool IsValid(std::string_view text);

} // namespace velmora::com::utf8
