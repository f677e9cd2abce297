#include "client/panes/SystemInfoPane.h"

#include <QVBoxLayout>

#include "client/dialogs/SystemInfoForm.h"

namespace tarnwick {

SystemInfoPane::SystemInfoPane(QWidget* parent)
    : DetailPane(parent), form_(new SystemInfoForm(this)) {
    form_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
}

void SystemInfoPane::showBug(IBug* bug) {
    form_->clear();
    if (!bug || !session_) return;
    const LONG reporter = Long(bug, &IBug::get_ReportedByID);
    const ComPtr<IUserSet> users = Object(session_.Get(), &IExeContext::get_AllUser);
    if (!users) return;
    const LONG count = Long(users.Get(), &IUserSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IUser> user = Item(users.Get(), &IUserSet::get_Item, i);
        if (user && Long(user.Get(), &IUser::get_ID) == reporter) {
            const ComPtr<IUserSysInfo> info = Object(user.Get(), &IUser::get_SysInfo);
            form_->load(info.Get());
            return;
        }
    }
}

} // namespace tarnwick
