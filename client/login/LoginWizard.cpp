#include "client/login/LoginWizard.h"

#include "client/login/LoginPage.h"
#include "client/login/SelectionPage.h"

namespace tarnwick {

LoginWizard::LoginWizard(IExeContext* session, MessageSink& messages, QWidget* parent)
    : QWizard(parent), loginPage_(new LoginPage(session, messages, this)),
      selectionPage_(new SelectionPage(session, messages, this)) {
    setWizardStyle(QWizard::ClassicStyle);
    setPage(LoginPageId, loginPage_);
    setPage(SelectionPageId, selectionPage_);
    setStartId(LoginPageId);
    // The window is captioned with the page it shows.
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (QWizardPage* shown = page(id)) setWindowTitle(shown->title());
    });
    setWindowTitle(loginPage_->title());
}

bool LoginWizard::loggedIn() const {
    return loginPage_->loggedIn();
}

bool LoginWizard::endedInVersionMode() const {
    return selectionPage_->endedInVersionMode();
}

} // namespace tarnwick
