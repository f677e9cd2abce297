#include "engine/bugs/FilterFieldTypes.h"

#include <algorithm>
#include <array>

namespace velmora::engine {

namespace {

struct FieldType {
    std::string_view field;
    VARTYPE type;
};

constexpr std::array<FieldType, 32> kFieldTypes = {{
    {"BugID", VT_I4},
    {"ClassID", VT_I4},
    {"ReportedByID", VT_I4},
    {"FixedByID", VT_I4},
    {"VerifiedByID", VT_I4},
    {"LastModifiedByID", VT_I4},
    {"ReportedInVersionID", VT_I4},
    {"FixedInVersionID", VT_I4},
    {"BugType", VT_UI1},
    {"ReproductiveName", VT_BSTR},
    {"StatusName", VT_BSTR},
    {"PriorityName", VT_BSTR},
    {"SeverityName", VT_BSTR},
    {"Description", VT_BSTR},
    {"RecreateStep", VT_BSTR},
    {"Workaround", VT_BSTR},
    {"Report", VT_BSTR},
    {"Resolution", VT_BSTR},
    {"Classification", VT_BSTR},
    {"ReportedBy", VT_BSTR},
    {"FixedBy", VT_BSTR},
    {"VerifiedBy", VT_BSTR},
    {"LastModifiedBy", VT_BSTR},
    {"ReportedInVersion", VT_BSTR},
    {"FixedInVersion", VT_BSTR},
    {"EstimatedTime", VT_DATE},
    {"ActualTime", VT_DATE},
    {"DateDue", VT_DATE},
    {"ReportedDate", VT_DATE},
    {"FixedDate", VT_DATE},
    {"VerifiedDate", VT_DATE},
    {"LastModifiedDate", VT_DATE},
}};

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
    for (const FieldType& entry : kFieldTypes)
        if (EqualIgnoringCase(entry.field, fieldName)) return entry.type;
    return VT_NULL;
}

} // namespace velmora::engine
