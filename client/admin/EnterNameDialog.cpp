#include "client/admin/EnterNameDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"

namespace tarnwick::admin {

namespace texts = admin_texts::name_dialog;

EnterNameDialog::EnterNameDialog(QWidget* parent) : QDialog(parent), name_(new QLineEdit(this)) {
    setWindowTitle(Caption(texts::kCaption));
    auto* group = new QGroupBox(Caption(texts::kGroup), this);
    // The group's caption is the only one the edit has.
    name_->setAccessibleName(Caption(texts::kGroup));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(name_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void EnterNameDialog::setName(const QString& name) {
    name_->setText(name);
}

QString EnterNameDialog::name() const {
    return name_->text();
}

} // namespace tarnwick::admin
