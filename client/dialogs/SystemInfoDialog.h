#pragma once
// Records the logged-in user's computer: opening shows what is on record, OK stores it.
#include <QDialog>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

class MessageSink;
class SystemInfoForm;

class SystemInfoDialog : public QDialog {
    Q_OBJECT
  public:
    SystemInfoDialog(IExeContext* session, MessageSink& messages, QWidget* parent = nullptr);

    // Reads the current user's record (a new one when the user has none) and shows the dialog.
    // When it cannot be read the engine's message is shown and the dialog ends as rejected
    // without appearing; so does it when nobody is logged in.
    void open() override;
    // Stores the texts as the current user's record; on an engine failure its message is shown
    // and the dialog stays open.
    void accept() override;

    SystemInfoForm* form() const { return form_; }

  private:
    IExeContext* session_;
    MessageSink& messages_;
    SystemInfoForm* form_;
    ComPtr<IUser> user_;
    ComPtr<IUserSysInfo> info_;
};

} // namespace tarnwick
