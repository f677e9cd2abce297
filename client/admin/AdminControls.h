#pragma once
// Small builders the administration dialogs share: captioned buttons and labelled controls whose
// accessible name is their caption.
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace tarnwick::admin {

// The caption as shown (with its '&' mnemonic marker).
inline QString Caption(const char* text) {
    return QString::fromLatin1(text);
}

// The caption as a screen reader says it: without the mnemonic marker.
QString SpokenCaption(const char* text);

// A push button with the caption and the matching accessible name.
QPushButton* CaptionedButton(const char* caption, QWidget* parent);

// A label for control, its buddy, and the control named after the caption.
QLabel* CaptionFor(QWidget* control, const char* caption, QWidget* parent);

} // namespace tarnwick::admin
