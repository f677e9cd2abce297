#include "engine/bugs/BugSetColumns.h"

#include <algorithm>
#include <cstdint>

namespace velmora::engine {
namespace {

// The column list names rights by flag, or Unguarded for a column Update writes freely.
namespace guard {
using enum RightFlag;
inline constexpr std::optional<RightFlag> Unguarded;
} // namespace guard

// The column list's mark for a column that no eBugField value names.
constexpr LONG NoField = -1;

struct FieldColumn {
    db::BugColumn column;
    std::optional<RightFlag> right;
};

// Indexed by eBugField.
constexpr auto kFields = [] {
    std::array<std::optional<FieldColumn>, ColBugType + 1> fields{};
#define VELMORA_BUG_FIELD(name, type, field, member, right)                                        \
    if (field != NoField) fields[field] = FieldColumn{db::BugColumn::name, guard::right};
    VELMORA_BUG_COLUMNS(VELMORA_BUG_FIELD)
#undef VELMORA_BUG_FIELD
    return fields;
}();
static_assert(std::ranges::all_of(kFields, [](const auto& field) { return field.has_value(); }),
              "every eBugField value names exactly one column");

const FieldColumn* ColumnOf(LONG field) {
    if (field < 0 || field >= static_cast<LONG>(kFields.size())) return nullptr;
    return &*kFields[static_cast<size_t>(field)];
}

db::Value ValueOf(LONG id) {
    return db::Value::Int(id);
}
db::Value ValueOf(SHORT bugType) {
    return db::Value::Byte(static_cast<uint8_t>(bugType));
}
db::Value ValueOf(DATE date) {
    return db::Value::Date(date);
}
db::Value ValueOf(const std::string& text) {
    return db::Value::Text(text);
}

} // namespace

std::string_view BugColumnName(LONG field) {
    const FieldColumn* column = ColumnOf(field);
    return column ? db::InfoOf(column->column).name : std::string_view();
}

std::optional<RightFlag> BugColumnRight(LONG field) {
    const FieldColumn* column = ColumnOf(field);
    return column ? column->right : std::nullopt;
}

db::Value BugColumnValue(const BugData& bug, LONG field) {
    const FieldColumn* column = ColumnOf(field);
    if (!column) return db::Value::Null();
    return VisitBugMember(bug, column->column, [](const auto& value) { return ValueOf(value); });
}

} // namespace velmora::engine
