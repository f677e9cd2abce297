#include "engine/bugs/FilterFieldTypes.h"

#include <algorithm>

#include "engine/db/BugColumns.h"

namespace velmora::engine {

namespace {

VARTYPE ValueTypeOf(db::BugColumnType type) {
    switch (type) {
    case db::BugColumnType::Key:
    case db::BugColumnType::Integer:
        return VT_I4;
    case db::BugColumnType::Byte:
        return VT_UI1;
    case db::BugColumnType::Date:
        return VT_DATE;
    case db::BugColumnType::Text:
    case db::BugColumnType::EditedText:
        return VT_BSTR;
    }
    return VT_NULL;
}

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(x) == FoldCase(y);
           });
}

} // namespace

VARTYPE FilterValueType(std::string_view fieldName) {
    for (const db::BugColumnInfo& column : db::kBugColumns)
        if (EqualIgnoringCase(column.name, fieldName)) return ValueTypeOf(column.type);
    return VT_NULL;
}

} // namespace velmora::engine
