#include "client/main/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tarnwick {

namespace {

// A rounded teal tile with a stylised beetle: body, head and three legs on each side.
QPixmap Draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x7a, 0x8c));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setPen(QPen(QColor(0xf4, 0xf1, 0xde), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double y = 27 + i * 9;
        painter.drawLine(QPointF(22, y), QPointF(12, y - 4 + i * 4));
        painter.drawLine(QPointF(42, y), QPointF(52, y - 4 + i * 4));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf4, 0xf1, 0xde));
    painter.drawEllipse(QRectF(20, 22, 24, 30));
    painter.drawEllipse(QRectF(25, 11, 14, 12));
    painter.setPen(QPen(QColor(0x1f, 0x7a, 0x8c), 2));
    painter.drawLine(QPointF(32, 24), QPointF(32, 51));
    return pixmap;
}

} // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Draw(size));
    return icon;
}

} // namespace tarnwick
