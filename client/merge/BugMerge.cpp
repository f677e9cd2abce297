#include "client/merge/BugMerge.h"

#include <algorithm>
#include <optional>

namespace tarnwick {
namespace {

QList<BugField> StatusAndGroup() {
    QList<BugField> fields{BugField::Status};
    for (const BugField field : AllBugFields()) {
        if (IsStatusGroupField(field)) fields.append(field);
    }
    return fields;
}

} // namespace

QList<BugField> FieldsSettledWith(BugField field) {
    return field == BugField::Status ? StatusAndGroup() : QList<BugField>{field};
}

MergeResult MergeBugFields(const BugFields& base, const BugFields& mine, const BugFields& theirs,
                           const BugFieldSet& editable) {
    MergeResult result;
    result.merged = theirs;
    const auto theyChanged = [&](BugField field) { return !SameField(theirs, base, field); };

    // One field: winner settles a clash without asking (the side whose status change the
    // group follows).
    const auto mergeField = [&](BugField field, bool mayWrite, std::optional<MergeSide> winner) {
        const bool iChanged = mayWrite && !SameField(mine, base, field);
        if (!iChanged) {
            if (theyChanged(field)) result.fromColleague.append(field);
            return;
        }
        if (!theyChanged(field) || SameField(mine, theirs, field) || winner == MergeSide::Mine) {
            result.merged.take(field, mine);
        } else if (winner == MergeSide::Theirs) {
            result.fromColleague.append(field);
        } else {
            result.clashes.append(field);
        }
    };

    for (const BugField field : AllBugFields()) {
        if (field == BugField::Status || IsStatusGroupField(field)) continue;
        mergeField(field, editable.contains(field), std::nullopt);
    }

    const QList<BugField> group = StatusAndGroup();
    const bool iChangedStatus =
        editable.contains(BugField::Status) && !SameField(mine, base, BugField::Status);
    const bool theyChangedStatus = theyChanged(BugField::Status);
    if (iChangedStatus && theyChangedStatus) {
        const bool alike = std::ranges::all_of(
            group, [&](BugField field) { return SameField(mine, theirs, field); });
        if (!alike) result.clashes.append(BugField::Status);
    } else {
        std::optional<MergeSide> winner;
        if (iChangedStatus) winner = MergeSide::Mine;
        if (theyChangedStatus) winner = MergeSide::Theirs;
        for (const BugField field : group) {
            // The values my status change brought need no right of their own.
            const bool mayWrite = editable.contains(field) ||
                                  (winner == MergeSide::Mine && field != BugField::Status);
            mergeField(field, mayWrite, winner);
        }
    }

    std::ranges::sort(result.clashes);
    std::ranges::sort(result.fromColleague);
    return result;
}

BugFields ResolveClashes(const MergeResult& result, const BugFields& mine, const BugFields& theirs,
                         const QMap<BugField, MergeSide>& choices) {
    BugFields resolved = result.merged;
    for (const BugField clash : result.clashes) {
        const BugFields& chosen =
            choices.value(clash, MergeSide::Theirs) == MergeSide::Mine ? mine : theirs;
        for (const BugField field : FieldsSettledWith(clash))
            resolved.take(field, chosen);
    }
    return resolved;
}

} // namespace tarnwick
