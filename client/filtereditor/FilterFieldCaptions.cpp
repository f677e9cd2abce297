#include "client/filtereditor/FilterFieldCaptions.h"

#include <algorithm>
#include <iterator>

namespace tarnwick {

namespace {

using Kind = FilterValueKind;

// Sorted by caption, the order the field list shows them in.
const std::vector<FilterField> kOfferedFields = {
    {"Classification", "Classification", Kind::List},
    {"Description", "Description", Kind::Text},
    {"Fixed By", "FixedBy", Kind::List},
    {"Fixed Date", "FixedDate", Kind::Date},
    {"Fixed In Version", "FixedInVersion", Kind::List},
    {"Priority", "PriorityName", Kind::List},
    {"Recreate Step", "RecreateStep", Kind::Text},
    {"Report", "Report", Kind::Text},
    {"Reported By", "ReportedBy", Kind::List},
    {"Reported Date", "ReportedDate", Kind::Date},
    {"Reported In Version", "ReportedInVersion", Kind::List},
    {"Reproductive", "ReproductiveName", Kind::List},
    {"Resolution", "Resolution", Kind::Text},
    {"Severity", "SeverityName", Kind::List},
    {"Status", "StatusName", Kind::List},
    {"Verified By", "VerifiedBy", Kind::List},
    {"Verified Date", "VerifiedDate", Kind::Date},
    {"Workaround", "Workaround", Kind::Text},
};

// Columns a condition may name (a saved filter, say) that the field list does not offer.
struct Translation {
    const char* caption;
    const char* name;
};
constexpr Translation kOtherFields[] = {
    {"Last Modified By", "LastModifiedBy"},
    {"Estimated Time", "EstimatedTime"},
    {"Last Modified Date", "LastModifiedDate"},
};

struct ConditionText {
    const char* caption;
    eLogCondition condition;
};
// Not (7) has no caption: it is never offered.
constexpr ConditionText kConditions[] = {
    {"Equal", Equal},
    {"Not Equal", NotEqual},
    {"Larger Than", LargerThan},
    {"Larger Equal", LargerEqual},
    {"Less Than", LessThan},
    {"Less Equal", LessEqual},
    {"Include", Like},
};

struct AndOrText {
    const char* caption;
    eLogOperation andOr;
};
constexpr AndOrText kAndOr[] = {{"And", LogAnd}, {"Or", LogOr}};

} // namespace

const std::vector<FilterField>& OfferedFilterFields() {
    return kOfferedFields;
}

std::optional<FilterField> OfferedFieldByCaption(const QString& caption) {
    for (const FilterField& field : kOfferedFields)
        if (caption == QLatin1String(field.caption)) return field;
    return std::nullopt;
}

std::optional<FilterField> OfferedFieldByName(const QString& name) {
    for (const FilterField& field : kOfferedFields)
        if (name == QLatin1String(field.name)) return field;
    return std::nullopt;
}

QString FieldCaption(const QString& name) {
    if (const auto field = OfferedFieldByName(name)) return QString::fromLatin1(field->caption);
    for (const Translation& other : kOtherFields)
        if (name == QLatin1String(other.name)) return QString::fromLatin1(other.caption);
    return QString();
}

QString ConditionCaption(eLogCondition condition) {
    for (const ConditionText& text : kConditions)
        if (text.condition == condition) return QString::fromLatin1(text.caption);
    return QString();
}

std::optional<eLogCondition> ConditionFromCaption(const QString& caption) {
    for (const ConditionText& text : kConditions)
        if (caption == QLatin1String(text.caption)) return text.condition;
    return std::nullopt;
}

QStringList ConditionCaptions(FilterValueKind kind) {
    QStringList captions;
    for (const ConditionText& text : kConditions) {
        const bool offered = [&] {
            switch (kind) {
            case Kind::Text:
                return text.condition == Equal || text.condition == NotEqual ||
                       text.condition == Like;
            case Kind::List:
                return text.condition == Equal || text.condition == NotEqual;
            case Kind::Date:
                return text.condition != Like;
            }
            return false;
        }();
        if (offered) captions << QString::fromLatin1(text.caption);
    }
    return captions;
}

QString AndOrCaption(eLogOperation andOr) {
    for (const AndOrText& text : kAndOr)
        if (text.andOr == andOr) return QString::fromLatin1(text.caption);
    return QString();
}

std::optional<eLogOperation> AndOrFromCaption(const QString& caption) {
    for (const AndOrText& text : kAndOr)
        if (caption == QLatin1String(text.caption)) return text.andOr;
    return std::nullopt;
}

QStringList AndOrCaptions() {
    QStringList captions;
    std::transform(std::begin(kAndOr), std::end(kAndOr), std::back_inserter(captions),
                   [](const AndOrText& text) { return QString::fromLatin1(text.caption); });
    return captions;
}

} // namespace tarnwick
