#include "client/widgets/MessageSink.h"

#include <QApplication>
#include <QMessageBox>

namespace tarnwick {

void MessageBoxSink::Inform(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

bool MessageBoxSink::Confirm(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace tarnwick
