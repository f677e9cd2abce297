#include "client/dialogs/ChangePasswordDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {
const char* const kCaption = "Change Password";
const char* const kOld = "Old Password";
const char* const kNew = "New Password";
const char* const kVerify = "Verify Password";
const char* const kMismatch = "The password doesn't match!";
// As long as the login page accepts.
constexpr int kPasswordMaxLength = 64;

QLineEdit* PasswordEdit(QFormLayout* form, const char* caption, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(kPasswordMaxLength);
    edit->setAccessibleName(QString::fromLatin1(caption));
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setBuddy(edit);
    form->addRow(label, edit);
    return edit;
}
} // namespace

ChangePasswordDialog::ChangePasswordDialog(MessageSink& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* form = new QFormLayout;
    old_ = PasswordEdit(form, kOld, this);
    new_ = PasswordEdit(form, kNew, this);
    verify_ = PasswordEdit(form, kVerify, this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChangePasswordDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString ChangePasswordDialog::oldPassword() const {
    return old_->text();
}

QString ChangePasswordDialog::newPassword() const {
    return new_->text();
}

void ChangePasswordDialog::accept() {
    if (new_->text() != verify_->text()) {
        messages_.Inform(this, QString::fromLatin1(kMismatch));
        return;
    }
    QDialog::accept();
}

} // namespace tarnwick
