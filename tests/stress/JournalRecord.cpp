#include "JournalRecord.h"

#include <algorithm>
#include <charconv>

namespace velmora::stress {
namespace {

bool NeedsEscape(unsigned char c) {
    return c <= ' ' || c == '=' || c == '%' || c == 0x7F;
}

std::string Encode(const std::string& value) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const unsigned char c : value) {
        if (NeedsEscape(c)) {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        } else {
            encoded += static_cast<char>(c);
        }
    }
    return encoded;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Decode(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

} // namespace

JournalRecord& JournalRecord::Set(const std::string& key, const std::string& value) {
    for (auto& field : fields_) {
        if (field.first == key) {
            field.second = value;
            return *this;
        }
    }
    fields_.emplace_back(key, value);
    return *this;
}

JournalRecord& JournalRecord::Set(const std::string& key, int64_t value) {
    return Set(key, std::to_string(value));
}

bool JournalRecord::Has(const std::string& key) const {
    return std::any_of(fields_.begin(), fields_.end(),
                       [&key](const auto& field) { return field.first == key; });
}

std::string JournalRecord::Text(const std::string& key) const {
    for (const auto& field : fields_) {
        if (field.first == key) return field.second;
    }
    return "";
}

int64_t JournalRecord::Number(const std::string& key) const {
    const std::string text = Text(key);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::string JournalRecord::Format() const {
    std::string line;
    for (const auto& [key, value] : fields_) {
        if (!line.empty()) line += ' ';
        line += Encode(key);
        line += '=';
        line += Encode(value);
    }
    return line;
}

std::optional<JournalRecord> JournalRecord::Parse(const std::string& line) {
    JournalRecord record;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        const std::string token = line.substr(start, end - start);
        const size_t equals = token.find('=');
        if (equals == std::string::npos || equals == 0) return std::nullopt;
        auto key = Decode(token.substr(0, equals));
        auto value = Decode(token.substr(equals + 1));
        if (!key || !value) return std::nullopt;
        record.fields_.emplace_back(std::move(*key), std::move(*value));
        start = end + 1;
    }
    return record;
}

} // namespace velmora::stress
