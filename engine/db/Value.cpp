#include "Database.h"
#include "SqlDialect.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace velmora::db {
namespace {

const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}

const std::vector<uint8_t>& EmptyBytes() {
    static const std::vector<uint8_t> empty;
    return empty;
}

// The number a whole text spells (leading and trailing blanks allowed).
std::optional<double> NumberIn(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin) return std::nullopt;
    while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    if (*end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

LONG ToLong(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::nearbyint(value); // half to even, as variant conversion does
    if (rounded <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    if (rounded >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<LONG>(rounded);
}

bool EqualsNoCase(const std::string& a, const char* b) {
    const std::string_view other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

Value Value::Int(LONG v) {
    Value value;
    value.kind_ = Kind::Int32;
    value.data_ = v;
    return value;
}

Value Value::Byte(uint8_t v) {
    Value value;
    value.kind_ = Kind::Byte;
    value.data_ = v;
    return value;
}

Value Value::Bool(bool v) {
    Value value;
    value.kind_ = Kind::Bool;
    value.data_ = v;
    return value;
}

Value Value::Double(double v) {
    Value value;
    value.kind_ = Kind::Double;
    value.data_ = v;
    return value;
}

Value Value::Date(double oleDate) {
    Value value;
    value.kind_ = Kind::Date;
    value.data_ = oleDate;
    return value;
}

Value Value::Text(std::string utf8) {
    Value value;
    value.kind_ = Kind::Text;
    value.data_ = std::move(utf8);
    return value;
}

Value Value::Binary(std::vector<uint8_t> bytes) {
    Value value;
    value.kind_ = Kind::Binary;
    value.data_ = std::move(bytes);
    return value;
}

double Value::asDouble() const {
    switch (kind_) {
    case Kind::Int32:
        return std::get<LONG>(data_);
    case Kind::Byte:
        return std::get<uint8_t>(data_);
    case Kind::Bool:
        return std::get<bool>(data_) ? 1.0 : 0.0;
    case Kind::Double:
    case Kind::Date:
        return std::get<double>(data_);
    case Kind::Text:
        return NumberIn(std::get<std::string>(data_)).value_or(0.0);
    case Kind::Null:
    case Kind::Binary:
        break;
    }
    return 0.0;
}

LONG Value::asInt() const {
    switch (kind_) {
    case Kind::Int32:
        return std::get<LONG>(data_);
    case Kind::Byte:
        return std::get<uint8_t>(data_);
    case Kind::Bool:
        return std::get<bool>(data_) ? 1 : 0;
    default:
        return ToLong(asDouble());
    }
}

uint8_t Value::asByte() const {
    return static_cast<uint8_t>(std::clamp<LONG>(asInt(), 0, 255));
}

bool Value::asBool() const {
    switch (kind_) {
    case Kind::Bool:
        return std::get<bool>(data_);
    case Kind::Text: {
        const std::string& text = std::get<std::string>(data_);
        if (EqualsNoCase(text, "true") || EqualsNoCase(text, "yes")) return true;
        return NumberIn(text).value_or(0.0) != 0.0;
    }
    default:
        return asDouble() != 0.0;
    }
}

const std::string& Value::asText() const {
    return kind_ == Kind::Text ? std::get<std::string>(data_) : EmptyText();
}

const std::vector<uint8_t>& Value::asBinary() const {
    return kind_ == Kind::Binary ? std::get<std::vector<uint8_t>>(data_) : EmptyBytes();
}

std::string Value::releaseText() {
    std::string text;
    if (kind_ == Kind::Text) text = std::move(std::get<std::string>(data_));
    *this = Value();
    return text;
}

std::string Value::toText() const {
    switch (kind_) {
    case Kind::Null:
        return "";
    case Kind::Int32:
    case Kind::Byte:
        return std::to_string(asInt());
    case Kind::Bool:
        return std::get<bool>(data_) ? "True" : "False";
    case Kind::Double:
    case Kind::Date: {
        std::string text = FormatReal(std::get<double>(data_));
        if (text.size() > 2 && text.ends_with(".0")) text.resize(text.size() - 2);
        return text;
    }
    case Kind::Text:
        return std::get<std::string>(data_);
    case Kind::Binary: {
        const auto& bytes = std::get<std::vector<uint8_t>>(data_);
        return std::string(bytes.begin(), bytes.end());
    }
    }
    return "";
}

bool Value::operator==(const Value& other) const {
    return kind_ == other.kind_ && data_ == other.data_;
}

} // namespace velmora::db
