#pragma once
// What the filter editor shows for a condition and what the engine's filters hold: bug column
// captions and names with the kind of value each takes, comparison captions and And/Or captions.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include <velmora/Velmora.h>

namespace tarnwick {

// How a condition's value is entered and which comparisons make sense for it.
enum class FilterValueKind { Text, List, Date };

struct FilterField {
    const char* caption;
    const char* name;
    FilterValueKind kind;
};

// The fields a condition can be put on, sorted by caption.
const std::vector<FilterField>& OfferedFilterFields();
// The offered field of that caption, or none.
std::optional<FilterField> OfferedFieldByCaption(const QString& caption);
// The offered field of that column name (compared exactly), or none.
std::optional<FilterField> OfferedFieldByName(const QString& name);

// The caption of a column name, also for the columns that are known but not offered; the empty
// text for a name without a caption.
QString FieldCaption(const QString& name);

// "Equal" ... "Include"; the empty text for a comparison that has no caption (7 among them).
QString ConditionCaption(eLogCondition condition);
// The comparison of a caption, or none.
std::optional<eLogCondition> ConditionFromCaption(const QString& caption);
// The comparisons offered for a kind of value, in the order they are listed.
QStringList ConditionCaptions(FilterValueKind kind);

// "And" for 1, "Or" for 2, the empty text otherwise.
QString AndOrCaption(eLogOperation andOr);
std::optional<eLogOperation> AndOrFromCaption(const QString& caption);
QStringList AndOrCaptions();

} // namespace tarnwick
