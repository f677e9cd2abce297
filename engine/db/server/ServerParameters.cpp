#include "ServerParameters.h"

#include "../SqlDialect.h"

#include <cmath>

namespace velmora::db {
namespace {

constexpr Oid kByteaOid = 17;

} // namespace

std::string ServerText(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return {};
    case Value::Kind::Bool:
        return value.asBool() ? "1" : "0";
    case Value::Kind::Double:
    case Value::Kind::Date: {
        // A whole number is written without a fraction, so that it also reads into an integer
        // column, as the file stores it.
        const double number = value.asDouble();
        if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.0e15)
            return std::to_string(static_cast<long long>(number));
        if (std::isnan(number)) return "NaN";
        if (std::isinf(number)) return number > 0 ? "Infinity" : "-Infinity";
        return FormatReal(number);
    }
    default:
        return value.toText();
    }
}

ServerParameters::ServerParameters(const std::vector<Value>& values) {
    texts_.reserve(values.size());
    for (const Value& value : values) {
        if (value.isNull()) {
            texts_.emplace_back();
            types_.push_back(0);
            lengths_.push_back(0);
            formats_.push_back(0);
        } else if (value.kind() == Value::Kind::Binary) {
            const auto& bytes = value.asBinary();
            texts_.emplace_back(bytes.begin(), bytes.end());
            types_.push_back(kByteaOid);
            lengths_.push_back(static_cast<int>(bytes.size()));
            formats_.push_back(1);
        } else {
            texts_.push_back(ServerText(value));
            types_.push_back(0);
            lengths_.push_back(static_cast<int>(texts_.back().size()));
            formats_.push_back(0);
        }
    }
    for (size_t i = 0; i < values.size(); ++i)
        pointers_.push_back(values[i].isNull() ? nullptr : texts_[i].c_str());
}

} // namespace velmora::db
