#include "client/widgets/IdListWidget.h"

namespace tarnwick {

QListWidget* NewIdList(const char* accessibleName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAccessibleName(QString::fromLatin1(accessibleName));
    return list;
}

void AddIdEntry(QListWidget* list, const QString& name, LONG id) {
    auto* item = new QListWidgetItem(name, list);
    item->setData(Qt::UserRole, static_cast<int>(id));
}

} // namespace tarnwick
