#pragma once
// A single-choice list of named engine objects: each entry shows a name and carries the object's
// identifier as its item data (Qt::UserRole).
#include <QListWidget>

#include <velmora/Com.h>

namespace tarnwick {

// An empty list with single selection, named for screen readers.
QListWidget* NewIdList(const char* accessibleName, QWidget* parent);
// Appends an entry showing name and carrying id.
void AddIdEntry(QListWidget* list, const QString& name, LONG id);

} // namespace tarnwick
