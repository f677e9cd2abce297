#pragma once
// The drop-down of the Select Filter button: one numbered item per filter of the list, a
// separator before the first saved filter, a check mark on the filter the shown list uses, and
// the first item as the default.
#include <QMenu>
#include <QStringList>

namespace tarnwick {

// Refills menu. Each item's data is its position in the filter list.
void FillFilterMenu(QMenu& menu, const QStringList& filterNames, int predefinedCount,
                    const QString& currentFilterName);

} // namespace tarnwick
