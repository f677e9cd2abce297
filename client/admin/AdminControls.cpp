#include "client/admin/AdminControls.h"

#include <QLabel>
#include <QPushButton>

namespace tarnwick::admin {

QString SpokenCaption(const char* text) {
    return Caption(text).remove(QLatin1Char('&'));
}

QPushButton* CaptionedButton(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(Caption(caption), parent);
    button->setAccessibleName(SpokenCaption(caption));
    return button;
}

QLabel* CaptionFor(QWidget* control, const char* caption, QWidget* parent) {
    auto* label = new QLabel(Caption(caption), parent);
    label->setBuddy(control);
    control->setAccessibleName(SpokenCaption(caption));
    return label;
}

} // namespace tarnwick::admin
