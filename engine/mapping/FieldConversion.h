#pragma once
// The field-value conversions used on every read: a NULL, or a value of another type, reads as
// 0, the empty text, date 0.0 or false. Numeric storage is accepted for every numeric reading, so
// files whose columns carry plain declared types read the same.
#include <cstdint>
#include <string>

#include "engine/db/Database.h"

namespace velmora::engine {

int32_t VariantToLong(const db::Value& value);
std::string VariantToString(const db::Value& value);
// The same for a value that is not needed afterwards: its text is moved, not copied.
std::string VariantToString(db::Value&& value);
double VariantToDate(const db::Value& value);
bool VariantToBool(const db::Value& value);
uint8_t VariantToByte(const db::Value& value);

// A stored password: NULL is the empty password, otherwise the 64 enciphered bytes.
std::string VariantToPassword(const db::Value& value);

// The write side: an empty text is stored as NULL.
db::Value TextToField(const std::string& text);

} // namespace velmora::engine
