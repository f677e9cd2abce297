#include "FieldConversion.h"

#include <cmath>

#include "common/crypto/PasswordBlock.h"

namespace velmora::engine {
namespace {

using Kind = db::Value::Kind;

bool IsNumeric(const db::Value& value) {
    switch (value.kind()) {
    case Kind::Int32:
    case Kind::Byte:
    case Kind::Bool:
    case Kind::Double:
    case Kind::Date:
        return true;
    default:
        return false;
    }
}

} // namespace

int32_t VariantToLong(const db::Value& value) {
    if (!IsNumeric(value)) return 0;
    if (value.kind() == Kind::Double || value.kind() == Kind::Date) {
        const double number = value.asDouble();
        if (!std::isfinite(number) || number < INT32_MIN || number > INT32_MAX) return 0;
        return static_cast<int32_t>(number);
    }
    return value.asInt();
}

std::string VariantToString(const db::Value& value) {
    return value.kind() == Kind::Text ? value.asText() : std::string();
}

std::string VariantToString(db::Value&& value) {
    return value.releaseText();
}

double VariantToDate(const db::Value& value) {
    if (!IsNumeric(value)) return 0.0;
    const double date = value.asDouble();
    return std::isfinite(date) ? date : 0.0;
}

bool VariantToBool(const db::Value& value) {
    return IsNumeric(value) && value.asDouble() != 0.0;
}

uint8_t VariantToByte(const db::Value& value) {
    const int32_t number = VariantToLong(value);
    return number >= 0 && number <= 255 ? static_cast<uint8_t>(number) : 0;
}

std::string VariantToPassword(const db::Value& value) {
    if (value.kind() != Kind::Binary) return {};
    const auto& bytes = value.asBinary();
    return crypto::DecipherPassword(bytes.data(), bytes.size());
}

db::Value TextToField(const std::string& text) {
    return text.empty() ? db::Value::Null() : db::Value::Text(text);
}

} // namespace velmora::engine
