#pragma once
// First page of the login wizard: the login name and password, tried against the session when
// the user presses Next.
#include <QWizardPage>

#include "client/adapter/EngineCall.h"

class QLineEdit;

namespace tarnwick {

class MessageSink;

class LoginPage : public QWizardPage {
    Q_OBJECT
  public:
    // Names under which the page registers its fields with the wizard.
    static constexpr const char* kLoginNameField = "loginName";
    static constexpr const char* kPasswordField = "password";

    LoginPage(IExeContext* session, MessageSink& messages, QWidget* parent = nullptr);

    // True once a login succeeded on this page; it stays true when the wizard is later
    // cancelled, so the window knows the session's user has changed.
    bool loggedIn() const { return loggedIn_; }

    // Logs in with the entered name and password; shows the engine's message and keeps the
    // page on failure.
    bool validatePage() override;

  private:
    IExeContext* session_;
    MessageSink& messages_;
    QLineEdit* loginName_;
    QLineEdit* password_;
    bool loggedIn_ = false;
};

} // namespace tarnwick
