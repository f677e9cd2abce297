#pragma once
// Every caption and message of the merge on a refused update, in one place.
#include <QString>
#include <QStringList>

namespace tarnwick::merge_texts {

inline const char* const kDialogTitle = "Someone else changed this bug";
inline const char* const kExplanation =
    "Someone else saved this bug while you edited it. Both of you changed the fields below: "
    "choose which value to keep for each.";
inline const char* const kFieldColumn = "Field";
inline const char* const kMineColumn = "Your value";
inline const char* const kTheirsColumn = "Their value";
inline const char* const kMine = "Mine";
inline const char* const kTheirs = "Theirs";
inline const char* const kKeepAllMine = "Keep all mine";
inline const char* const kKeepAllTheirs = "Keep all theirs";
inline const char* const kNoValue = "(none)";

inline const char* const kDeleted = "The bug was deleted by someone else while you edited it.";
inline const char* const kDeletedMeanwhile =
    "The bug was deleted by someone else while you edited it. Report your edited text as a new "
    "bug?";
inline const char* const kDeletedFeatureMeanwhile =
    "The feature was deleted by someone else while you edited it. Report your edited text as a "
    "new feature?";
inline const char* const kUpdateFailed = "Update bug failed!";
inline const char* const kStillChanging =
    "Someone else keeps changing this bug; your changes were not saved. Please try again.";

// The status-bar text after a save that kept a colleague's changes.
inline QString SavedWithColleagueChanges(const QStringList& captions) {
    return QStringLiteral("Saved. A colleague's changes to %1 were kept.")
        .arg(captions.join(QStringLiteral(", ")));
}

} // namespace tarnwick::merge_texts
