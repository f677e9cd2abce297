#pragma once
// The login wizard: page 1 logs a user in to the open database, page 2 makes one of the user's
// roles current or a product version active. What follows a finished or cancelled wizard (the
// info bar, the lists, putting back the previous user) is the main window's work; it reads
// loggedIn() and endedInVersionMode() for it.
#include <QWizard>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

class LoginPage;
class MessageSink;
class SelectionPage;

class LoginWizard : public QWizard {
    Q_OBJECT
  public:
    enum PageId { LoginPageId = 0, SelectionPageId = 1 };

    LoginWizard(IExeContext* session, MessageSink& messages, QWidget* parent = nullptr);

    // True when page 1 logged a user in during this run of the wizard, even if it was then
    // cancelled.
    bool loggedIn() const;
    // True when page 2 was finished with a product version chosen rather than a role.
    bool endedInVersionMode() const;

    LoginPage* loginPage() const { return loginPage_; }
    SelectionPage* selectionPage() const { return selectionPage_; }

  private:
    LoginPage* loginPage_;
    SelectionPage* selectionPage_;
};

} // namespace tarnwick
