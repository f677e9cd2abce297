#include "client/main/ManageCommands.h"

#include <QDialog>
#include <QWidget>

#include "client/admin/AssignUserDialog.h"
#include "client/admin/ProductSheet.h"
#include "client/admin/ProductionPropertyDialog.h"

namespace tarnwick {

ManageCommands::ManageCommands(MessageSink& messages, QWidget* window)
    : QObject(window), messages_(messages), window_(window) {}

QDialog* ManageCommands::dialog() const {
    return dialog_;
}

void ManageCommands::show(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog_ = dialog;
    dialog->open();
}

void ManageCommands::addProduction(IExeContext* session) {
    if (dialog_ || !session) return;
    auto* sheet = new admin::ProductSheet(ComPtr<IExeContext>(session), messages_, window_);
    connect(sheet, &QDialog::accepted, this, &ManageCommands::productsChanged);
    show(sheet);
}

void ManageCommands::editProduction(IExeContext* session) {
    if (dialog_ || !session) return;
    auto* property =
        new admin::ProductionPropertyDialog(ComPtr<IExeContext>(session), messages_, window_);
    connect(property, &admin::ProductionPropertyDialog::editFinished, this,
            &ManageCommands::productsChanged);
    connect(property, &QDialog::finished, this, &ManageCommands::productsChanged);
    show(property);
}

void ManageCommands::assignUser(IExeContext* session) {
    if (dialog_ || !session) return;
    show(new admin::AssignUserDialog(ComPtr<IExeContext>(session), messages_, window_));
}

} // namespace tarnwick
