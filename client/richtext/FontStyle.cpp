#include "client/richtext/FontStyle.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstdlib>

namespace tarnwick {

QFont WithStyleName(const QFont& font) {
    const QString family = font.family();
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::italic(family, style) != font.italic()) continue;
        const int weight = QFontDatabase::weight(family, style);
        if ((weight > QFont::Medium) != font.bold()) continue;
        // Nearest in weight, then the shortest name: "Book" before "Condensed".
        const int distance = std::abs(weight - font.weight()) * 100 + int(style.size());
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    QFont named = font;
    if (!best.isEmpty()) named.setStyleName(best);
    return named;
}

} // namespace tarnwick
