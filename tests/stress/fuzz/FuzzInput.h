#pragma once
// Reading a fuzz input: the raw bytes as text, and a line-based reader for the targets whose
// inputs are small descriptions ("field|condition|..."), so that the seed corpus stays readable
// and every mutation still gives a description the target can follow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

// The text split at '\n' (a final line without '\n' counts; a trailing '\n' adds no empty line).
inline std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// The line split at '|' into at most `parts` fields; the last field keeps any further '|'.
inline std::vector<std::string_view> Fields(std::string_view line, size_t parts) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < parts) {
        const size_t bar = line.find('|');
        if (bar == std::string_view::npos) break;
        fields.push_back(line.substr(0, bar));
        line.remove_prefix(bar + 1);
    }
    fields.push_back(line);
    return fields;
}

// A decimal (or 0x hexadecimal) number wrapped to 32 bits; 0 for anything else.
inline int32_t Int32Of(std::string_view text) {
    const std::string copy(text);
    const long long value = std::strtoll(copy.c_str(), nullptr, 0);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(value)));
}

// Any number strtod reads ("nan", "inf" and hexadecimal floats included); 0 for anything else.
inline double DoubleOf(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

} // namespace velmora::fuzz
