#include "client/list/QuickSearchBox.h"

#include <QKeyEvent>

namespace tarnwick {

QuickSearchBox::QuickSearchBox(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QStringLiteral("Search ID or description"));
    setAccessibleName(QStringLiteral("Quick search"));
    setClearButtonEnabled(true);
    pause_.setSingleShot(true);
    pause_.setInterval(kTypingPauseMs);
    connect(&pause_, &QTimer::timeout, this, &QuickSearchBox::EmitNow);
    connect(this, &QLineEdit::textChanged, this, [this] { pause_.start(); });
    connect(this, &QLineEdit::returnPressed, this, &QuickSearchBox::EmitNow);
}

QString QuickSearchBox::CountText(int shown, int total) {
    return QStringLiteral("%1 of %2 bugs").arg(shown).arg(total);
}

void QuickSearchBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !text().isEmpty()) {
        clear();
        EmitNow();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void QuickSearchBox::EmitNow() {
    pause_.stop();
    if (text() == emitted_) return;
    emitted_ = text();
    emit searchChanged(emitted_);
}

} // namespace tarnwick
