#pragma once
// Asks for the old password and the new one twice. The dialog only checks that the two new
// entries agree; the main window makes the change with the texts it hands out.
#include <QDialog>

class QLineEdit;

namespace tarnwick {

class MessageSink;

class ChangePasswordDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ChangePasswordDialog(MessageSink& messages, QWidget* parent = nullptr);

    QString oldPassword() const;
    QString newPassword() const;

    QLineEdit* oldPasswordEdit() const { return old_; }
    QLineEdit* newPasswordEdit() const { return new_; }
    QLineEdit* verifyPasswordEdit() const { return verify_; }

    // Closes only when the new password and its verification are the same text.
    void accept() override;

  private:
    MessageSink& messages_;
    QLineEdit* old_;
    QLineEdit* new_;
    QLineEdit* verify_;
};

} // namespace tarnwick
