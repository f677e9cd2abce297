#include "client/panes/FileTypeIcon.h"

#include <QFileIconProvider>
#include <QMimeDatabase>

namespace tarnwick {

QIcon FileTypeIcon(const QString& fileName) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = QFileIconProvider().icon(QFileIconProvider::File);
    return icon;
}

} // namespace tarnwick
