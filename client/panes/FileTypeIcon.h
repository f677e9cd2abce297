#pragma once
// The desktop's icon for a file's type, found by its name; a generic document icon where the
// desktop has no icon theme.
#include <QIcon>
#include <QString>

namespace tarnwick {

QIcon FileTypeIcon(const QString& fileName);

} // namespace tarnwick
