#pragma once
// Merging two edits of one bug field by field, against the fields both started from: a field
// only one side changed takes that side's value, a field both changed alike is no clash, a field
// both changed differently is a clash the user settles. Plain values in, plain values out.
#include <QList>
#include <QMap>

#include "client/merge/BugFields.h"

namespace tarnwick {

enum class MergeSide { Mine, Theirs };

struct MergeResult {
    // The merge; a clashing field holds the colleague's value until it is resolved.
    BugFields merged;
    // Fields both sides changed to different values, in editor order. Status stands for its
    // whole group (the Fixed and Verified fields): they are settled with it.
    QList<BugField> clashes;
    // Fields the colleague changed that the merge took from them (clashes excluded).
    QList<BugField> fromColleague;
};

// Merges my edit and the colleague's stored row, both made from base. A field the user may not
// edit (not in editable) always takes the colleague's value. The status decides its group:
// - neither side changed the status: the group's fields merge one by one;
// - one side changed it: a group field both changed takes that side's value;
// - both changed it: the group is one unit, a clash (on Status) unless both left it alike.
MergeResult MergeBugFields(const BugFields& base, const BugFields& mine, const BugFields& theirs,
                           const BugFieldSet& editable);

// The merge with every clash settled: a clash without a choice takes the colleague's value; a
// Status clash carries its group with it.
BugFields ResolveClashes(const MergeResult& result, const BugFields& mine, const BugFields& theirs,
                         const QMap<BugField, MergeSide>& choices);

// The fields settled together with a clash on field (Status brings its group).
QList<BugField> FieldsSettledWith(BugField field);

} // namespace tarnwick
