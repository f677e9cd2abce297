#pragma once
// The "System Infomation" tab: the computer information of the user who reported the bug.
#include "client/panes/DetailPane.h"

namespace tarnwick {

class SystemInfoForm;

class SystemInfoPane : public DetailPane {
    Q_OBJECT
  public:
    explicit SystemInfoPane(QWidget* parent = nullptr);
    // The session whose users are looked up; none empties the pane on the next bug.
    void setSession(IExeContext* session) { session_ = ComPtr<IExeContext>(session); }
    void showBug(IBug* bug) override;
    SystemInfoForm* form() const { return form_; }

  private:
    ComPtr<IExeContext> session_;
    SystemInfoForm* form_;
};

} // namespace tarnwick
