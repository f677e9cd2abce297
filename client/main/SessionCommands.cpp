#include "client/main/SessionCommands.h"

#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QWidget>

#include "client/config/ClientConfig.h"
#include "client/dialogs/ChangePasswordDialog.h"
#include "client/dialogs/SelectProductDialog.h"
#include "client/dialogs/SystemInfoDialog.h"
#include "client/filters/FilterList.h"
#include "client/filters/FilterListBuilder.h"
#include "client/list/BugListView.h"
#include "client/login/LoginWizard.h"
#include "client/main/InfoBar.h"
#include "client/panes/DetailTabs.h"
#include "client/server/OpenServerDialog.h"
#include "client/server/ServerDataSource.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kOpenFailed = "Open database failed!";
const char* const kEnterSystemInfo =
    "Please enter your computer's software and hardware information.\nClick OK to continue.";
const char* const kNoUser = "None";

// Restores the normal cursor when the work is done, however it ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

SessionCommands::SessionCommands(ComPtr<IExeContext> session, Workspace workspace,
                                 MessageSink& messages, ClientConfig& config, QString filterFile,
                                 QWidget* window)
    : QObject(window), session_(std::move(session)), workspace_(workspace), messages_(messages),
      config_(config), filterFile_(std::move(filterFile)), window_(window) {}

void SessionCommands::showFailure(const EngineFailure& failure) {
    messages_.Inform(window_, MaskedInText(failure.text, databasePath_));
}

LONG SessionCommands::currentUserID() const {
    LONG id = 0;
    return session_ && SUCCEEDED(session_->get_CurUserID(&id)) ? id : 0;
}

LONG SessionCommands::activeVersionID() const {
    LONG id = 0;
    return session_ && SUCCEEDED(session_->get_ActiveVersionID(&id)) ? id : 0;
}

LONG SessionCommands::activeProductID() const {
    LONG id = 0;
    return session_ && SUCCEEDED(session_->get_ActiveProductID(&id)) ? id : 0;
}

bool SessionCommands::openDatabase(const QString& path) {
    databaseOpen_ = false;
    workspace_.filters->Clear();
    workspace_.bugs->SetBugSet(nullptr);
    workspace_.features->SetBugSet(nullptr);
    workspace_.details->showBug(nullptr, nullptr);
    workspace_.infoBar->clear();
    const bool opened = Attempt([&] { Check(session_->OpenAccessDB(ToBstr(path).Get())); },
                                [&](const EngineFailure& failure) {
                                    // The engine's message may quote a server URI whole.
                                    messages_.Inform(window_, MaskedInText(failure.text, path));
                                    workspace_.infoBar->repaintTexts();
                                });
    if (opened) {
        databaseOpen_ = true;
        databasePath_ = path;
        workspace_.infoBar->repaintTexts();
    }
    emit sessionChanged();
    return opened;
}

void SessionCommands::open() {
    auto* dialog = new QFileDialog(window_, QString(), QString(),
                                   QStringLiteral("Access database file (*.mdb)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(QStringLiteral("mdb"));
    dialog->setOption(QFileDialog::ReadOnly, false);
    connect(dialog, &QFileDialog::fileSelected, this, &SessionCommands::openChosen);
    dialog->open();
}

bool SessionCommands::openChosen(const QString& path) {
    if (openDatabase(path)) return true;
    messages_.Inform(window_, QString::fromLatin1(kOpenFailed));
    return false;
}

void SessionCommands::openServer() {
    if (openServerDialog_) {
        openServerDialog_->raise();
        openServerDialog_->activateWindow();
        return;
    }
    auto* dialog = new OpenServerDialog(messages_, databasePath_, window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { openChosen(dialog->uri()); });
    openServerDialog_ = dialog;
    dialog->open();
}

void SessionCommands::autoLogin() {
    const auto finished = qScopeGuard([this] {
        emit sessionChanged();
        emit loginFinished();
    });
    if (!openDatabase(config_.DatabasePath)) return;
    if (!config_.UseDefaultLogin) return;
    Attempt(
        [&] {
            Check(session_->Login(ToBstr(config_.LoginName).Get(), ToBstr(config_.Password).Get()));
            const ComPtr<IUser> user = Object(session_.Get(), &IExeContext::get_CurUser);
            if (user) workspace_.infoBar->setUser(Text(user.Get(), &IUser::get_UserName));
            if (!config_.UseDefaultRoleOrProduct) {
                workspace_.infoBar->repaintTexts();
                return;
            }
            if (config_.DefaultRoleID != 0) {
                Check(session_->SetCurRole(config_.DefaultRoleID));
                workspace_.infoBar->setProduct(QString());
                workspace_.infoBar->setVersion(QString());
            } else {
                Check(session_->SetActiveProduct(config_.DefaultVersionID));
                showVersionInInfoBar();
                rebuildFilters();
            }
            const ComPtr<IRole> role = Object(session_.Get(), &IExeContext::get_CurRole);
            if (role) workspace_.infoBar->setRole(Text(role.Get(), &IRole::get_Name));
            openLists();
            workspace_.infoBar->repaintTexts();
        },
        [&](const EngineFailure& failure) {
            showFailure(failure);
            workspace_.infoBar->repaintTexts();
        });
}

void SessionCommands::login() {
    ComPtr<IUser> previousUser;
    if (!Attempt([&] { previousUser = Object(session_.Get(), &IExeContext::get_CurUser); },
                 [&](const EngineFailure& failure) { showFailure(failure); }))
        return;
    auto* wizard = new LoginWizard(session_.Get(), messages_, window_);
    wizard->setAttribute(Qt::WA_DeleteOnClose);
    connect(wizard, &QDialog::finished, this, [this, wizard, previousUser](int result) {
        if (result == QDialog::Accepted)
            afterWizardFinished(wizard->endedInVersionMode());
        else if (wizard->loggedIn())
            afterWizardCancelled(previousUser);
        emit sessionChanged();
        emit loginFinished();
    });
    wizard->open();
}

void SessionCommands::afterWizardFinished(bool versionMode) {
    workspace_.bugs->SetBugSet(nullptr);
    workspace_.features->SetBugSet(nullptr);
    Attempt(
        [&] {
            const ComPtr<IUser> user = Object(session_.Get(), &IExeContext::get_CurUser);
            if (user) {
                const ComPtr<IUserSysInfo> info = Object(user.Get(), &IUser::get_SysInfo);
                if (!info) {
                    messages_.Inform(window_, QString::fromLatin1(kEnterSystemInfo));
                    systemInformation();
                }
                workspace_.infoBar->setUser(Text(user.Get(), &IUser::get_UserName));
            }
            const ComPtr<IRole> role = Object(session_.Get(), &IExeContext::get_CurRole);
            workspace_.infoBar->setRole(role ? Text(role.Get(), &IRole::get_Name) : QString());
            if (versionMode) {
                if (activeVersionID() != 0) showVersionInInfoBar();
                rebuildFilters();
            } else {
                workspace_.infoBar->setProduct(QString());
                workspace_.infoBar->setVersion(QString());
            }
            openLists();
            workspace_.infoBar->repaintTexts();
        },
        [&](const EngineFailure& failure) {
            showFailure(failure);
            workspace_.infoBar->repaintTexts();
        });
}

void SessionCommands::afterWizardCancelled(const ComPtr<IUser>& previousUser) {
    if (!previousUser) {
        // Nobody to log back in: opening the same database again leaves nobody logged in.
        openDatabase(databasePath_);
        workspace_.infoBar->setUser(QString::fromLatin1(kNoUser));
        workspace_.infoBar->repaintTexts();
        return;
    }
    Attempt(
        [&] {
            const QString password = Text(previousUser.Get(), &IUser::get_Password);
            const QString loginName = Text(previousUser.Get(), &IUser::get_LoginName);
            Check(session_->Login(ToBstr(loginName).Get(), ToBstr(password).Get()));
            workspace_.shownList()->Refresh();
        },
        [&](const EngineFailure& failure) { showFailure(failure); });
    workspace_.infoBar->setUser(QString::fromLatin1(kNoUser));
    workspace_.infoBar->setRole(QString());
    workspace_.infoBar->setProduct(QString());
    workspace_.infoBar->setVersion(QString());
    workspace_.infoBar->repaintTexts();
}

void SessionCommands::showVersionInInfoBar() {
    const ComPtr<IVersion> version = Object(session_.Get(), &IExeContext::get_ActiveVersion);
    const ComPtr<IProduct> product = Object(session_.Get(), &IExeContext::get_ActiveProduct);
    if (!version || !product) return;
    workspace_.infoBar->setProduct(Text(product.Get(), &IProduct::get_Name));
    workspace_.infoBar->setVersion(Text(version.Get(), &IVersion::get_Name));
}

void SessionCommands::openLists() {
    ComPtr<IBugSet> bugs;
    Check(session_->OpenBugSet(nullptr, bugs.Put()));
    workspace_.bugs->SetBugSet(bugs);
    ComPtr<IBugSet> features;
    Check(session_->OpenFeatureSet(nullptr, features.Put()));
    workspace_.features->SetBugSet(features);
    workspace_.bugs->Refresh();
    workspace_.features->Refresh();
}

void SessionCommands::rebuildFilters() {
    BuildFilterList(session_.Get(), *workspace_.filters, filterFile_, QDate::currentDate());
}

void SessionCommands::selectProduction() {
    auto* dialog = new SelectProductDialog(session_.Get(), messages_, window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (dialog->activatedVersionID() == 0) return;
        // The lists were opened for the version that was active: open them for the new one,
        // or they would go on showing the old version's bugs.
        Attempt(
            [&] {
                showVersionInInfoBar();
                const ComPtr<IRole> role = Object(session_.Get(), &IExeContext::get_CurRole);
                workspace_.infoBar->setRole(role ? Text(role.Get(), &IRole::get_Name) : QString());
                rebuildFilters();
                openLists();
            },
            [&](const EngineFailure& failure) { showFailure(failure); });
        workspace_.infoBar->repaintTexts();
        emit sessionChanged();
    });
    dialog->open();
}

void SessionCommands::synchronize() {
    Attempt(
        [&] {
            WaitCursor wait;
            Check(session_->Synchronize());
        },
        [&](const EngineFailure& failure) { showFailure(failure); });
    workspace_.bugs->Refresh();
    workspace_.features->Refresh();
}

void SessionCommands::systemInformation() {
    auto* dialog = new SystemInfoDialog(session_.Get(), messages_, window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void SessionCommands::changePassword() {
    auto* dialog = new ChangePasswordDialog(messages_, window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        Attempt(
            [&] {
                Check(session_->ChangePsw(ToBstr(dialog->oldPassword()).Get(),
                                          ToBstr(dialog->newPassword()).Get()));
            },
            [&](const EngineFailure& failure) { showFailure(failure); });
    });
    dialog->open();
}

} // namespace tarnwick
