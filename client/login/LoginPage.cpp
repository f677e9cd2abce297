#include "client/login/LoginPage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "client/login/LoginTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace login_texts;

LoginPage::LoginPage(IExeContext* session, MessageSink& messages, QWidget* parent)
    : QWizardPage(parent), session_(session), messages_(messages), loginName_(new QLineEdit(this)),
      password_(new QLineEdit(this)) {
    setTitle(QString::fromLatin1(kLoginTitle));

    loginName_->setMaxLength(kLoginNameMaxLength);
    loginName_->setAccessibleName(QString::fromLatin1(kLoginName));
    password_->setMaxLength(kPasswordMaxLength);
    password_->setEchoMode(QLineEdit::Password);
    password_->setAccessibleName(QString::fromLatin1(kPassword));

    auto* group = new QGroupBox(QString::fromLatin1(kLoginGroup), this);
    auto* form = new QFormLayout(group);
    auto* nameLabel = new QLabel(QString::fromLatin1(kLoginName), group);
    nameLabel->setBuddy(loginName_);
    auto* passwordLabel = new QLabel(QString::fromLatin1(kPassword), group);
    passwordLabel->setBuddy(password_);
    form->addRow(nameLabel, loginName_);
    form->addRow(passwordLabel, password_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();

    registerField(QString::fromLatin1(kLoginNameField), loginName_);
    registerField(QString::fromLatin1(kPasswordField), password_);
}

bool LoginPage::validatePage() {
    const bool ok = Attempt(
        [&] {
            Check(
                session_->Login(ToBstr(loginName_->text()).Get(), ToBstr(password_->text()).Get()));
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    if (ok) loggedIn_ = true;
    return ok;
}

} // namespace tarnwick
