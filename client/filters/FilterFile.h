#pragma once
// filter.ser: the user's saved filter sets (the entries after the predefined ones).
#include <QString>

#include "client/filters/FilterList.h"

namespace tarnwick {

// Reads the saved sets and appends them to list. Returns false, without a message, when the file
// is missing or unreadable, has another format version, ends early, or holds a set whose name
// the list has already; the sets appended before that stay. Raises EngineFailure when the engine
// refuses a filter set or condition (for instance a value of the wrong type for its field).
bool LoadFilterFile(const QString& path, FilterList& list);

// Replaces the file with the list's saved sets. Returns false when the file can't be written;
// the old file then stays as it was. Raises EngineFailure when reading a set fails.
bool SaveFilterFile(const QString& path, const FilterList& list);

// "Save Filter.ser failed!", shown by the caller when saving returned false.
extern const char* const kSaveFilterFileFailed;

} // namespace tarnwick
