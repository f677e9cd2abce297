#include "Utf8.h"

#include <cstdint>

namespace velmora::com::utf8 {

Decoded DecodeAt(std::string_view text, size_t pos) {
    const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byteAt(pos);
    if (lead < 0x80) return {lead, 1, true};

    // The number of continuation bytes and the allowed range of the first one, which excludes
    // overlong forms, UTF-16 surrogates and values above U+10FFFF.
    size_t continuation = 0;
    uint8_t low = 0x80, high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {0, 1, false};
    }

    size_t consumed = 1;
    for (size_t k = 0; k < continuation; ++k) {
        const size_t i = pos + consumed;
        if (i >= text.size()) return {0, consumed, false};
        const uint8_t b = byteAt(i);
        const uint8_t lo = k == 0 ? low : 0x80;
        const uint8_t hi = k == 0 ? high : 0xBF;
        if (b < lo || b > hi) return {0, consumed, false};
        value = (value << 6) | (b & 0x3F);
        ++consumed;
    }
    return {value, consumed, true};
}

bool IsValid(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const Decoded d = DecodeAt(text, pos);
        if (!d.valid) return false;
        pos += d.length;
    }
    return true;
}

} // namespace velmora::com::utf8
