#include "client/list/StatusImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace tarnwick {

namespace {

constexpr std::array<const char*, kStatusImageCount> kStatusTexts = {
    "Active", "By Design", "Cannot Reproduce", "Fixed",        "In Process",
    "New",    "Postponed", "Verified",         "Will Not Fix", "Waiting",
};

// Each picture is a coloured disc with a white glyph, so they differ by colour and by shape.
QColor DiscColour(int index) {
    switch (index) {
    case 0:
        return QColor(0xd3, 0x2f, 0x2f); // active: red
    case 1:
        return QColor(0x60, 0x7d, 0x8b); // by design: slate
    case 2:
        return QColor(0x79, 0x55, 0x48); // cannot reproduce: brown
    case 3:
        return QColor(0x38, 0x8e, 0x3c); // fixed: green
    case 4:
        return QColor(0x19, 0x76, 0xd2); // in process: blue
    case 5:
        return QColor(0xf5, 0x7c, 0x00); // new: orange
    case 6:
        return QColor(0x8e, 0x24, 0xaa); // postponed: purple
    case 7:
        return QColor(0x00, 0x79, 0x6b); // verified: teal
    case 8:
        return QColor(0x42, 0x42, 0x42); // will not fix: dark grey
    default:
        return QColor(0xc0, 0x9a, 0x00); // waiting: amber
    }
}

void DrawGlyph(QPainter& p, int index) {
    QPen pen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (index) {
    case 0: // exclamation mark
        p.drawLine(QPointF(8, 4), QPointF(8, 9));
        p.drawPoint(QPointF(8, 12));
        break;
    case 1: { // a square: by design
        p.drawRect(QRectF(5, 5, 6, 6));
        break;
    }
    case 2: // question mark
        p.drawArc(QRectF(5.5, 3.5, 5, 5), 180 * 16, -270 * 16);
        p.drawLine(QPointF(8, 8.5), QPointF(8, 9.5));
        p.drawPoint(QPointF(8, 12));
        break;
    case 3: // tick
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
        break;
    case 4: // play triangle: being worked on
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({QPointF(6, 4.5), QPointF(11.5, 8), QPointF(6, 11.5)}));
        break;
    case 5: // plus
        p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
        p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
        break;
    case 6: // pause bars
        p.drawLine(QPointF(6, 5), QPointF(6, 11));
        p.drawLine(QPointF(10, 5), QPointF(10, 11));
        break;
    case 7: // double tick
        p.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6, 11), QPointF(9.5, 5.5)}));
        p.drawPolyline(QPolygonF({QPointF(7.5, 10), QPointF(8.5, 11), QPointF(12.5, 5.5)}));
        break;
    case 8: // cross
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break;
    default: // clock hands: waiting
        p.drawEllipse(QRectF(4, 4, 8, 8));
        p.drawLine(QPointF(8, 8), QPointF(8, 5.5));
        p.drawLine(QPointF(8, 8), QPointF(10, 8));
        break;
    }
}

QImage DrawStatusImage(int index) {
    QImage image(kStatusImageSize, kStatusImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(DiscColour(index));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    DrawGlyph(p, index);
    return image;
}

const std::array<QImage, kStatusImageCount>& Images() {
    static const std::array<QImage, kStatusImageCount> images = [] {
        std::array<QImage, kStatusImageCount> drawn;
        for (int i = 0; i < kStatusImageCount; ++i)
            drawn[static_cast<size_t>(i)] = DrawStatusImage(i);
        return drawn;
    }();
    return images;
}

} // namespace

int StatusImageIndex(const QString& status) {
    for (int i = 0; i < kStatusImageCount; ++i)
        if (status == QLatin1String(kStatusTexts[static_cast<size_t>(i)])) return i;
    return 0;
}

const QImage& StatusImage(int index) {
    if (index < 0 || index >= kStatusImageCount) index = 0;
    return Images()[static_cast<size_t>(index)];
}

QImage StatusImageStrip() {
    QImage strip(kStatusImageSize * kStatusImageCount, kStatusImageSize,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < kStatusImageCount; ++i)
        p.drawImage(i * kStatusImageSize, 0, StatusImage(i));
    return strip;
}

} // namespace tarnwick
