#include "client/main/FilterMenu.h"

namespace tarnwick {

void FillFilterMenu(QMenu& menu, const QStringList& filterNames, int predefinedCount,
                    const QString& currentFilterName) {
    menu.clear();
    for (int i = 0; i < filterNames.size(); ++i) {
        if (i == predefinedCount && i > 0) menu.addSeparator();
        // "&&" keeps an ampersand in a filter's name from becoming a mnemonic.
        QString name = filterNames[i];
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = menu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        item->setData(i);
        // Only the shown list's filter carries a mark; the others draw no empty box.
        const bool current = !currentFilterName.isNull() && filterNames[i] == currentFilterName;
        item->setCheckable(current);
        item->setChecked(current);
        if (i == 0) menu.setDefaultAction(item);
    }
}

} // namespace tarnwick
