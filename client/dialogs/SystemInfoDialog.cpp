#include "client/dialogs/SystemInfoDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "client/dialogs/SystemInfoForm.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {
const char* const kCaption = "Enter Your Computer System Infomation";
}

SystemInfoDialog::SystemInfoDialog(IExeContext* session, MessageSink& messages, QWidget* parent)
    : QDialog(parent), session_(session), messages_(messages), form_(new SystemInfoForm(this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SystemInfoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SystemInfoDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addWidget(buttons);
}

void SystemInfoDialog::open() {
    user_.Reset();
    info_.Reset();
    const bool read = Attempt(
        [&] {
            user_ = Object(session_, &IExeContext::get_CurUser);
            if (!user_) return;
            info_ = Object(user_.Get(), &IUser::get_SysInfo);
            form_->load(info_.Get());
            if (!info_) info_ = Create<IUserSysInfo>(CLSID_UserSysInfo, IID_IUserSysInfo);
        },
        [&](const EngineFailure& failure) { messages_.Inform(parentWidget(), failure.text); });
    if (!read || !user_) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::open();
}

void SystemInfoDialog::accept() {
    const bool stored = Attempt(
        [&] {
            form_->store(info_.Get());
            Check(user_->put_SysInfo(info_.Get()));
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    if (stored) QDialog::accept();
}

} // namespace tarnwick
