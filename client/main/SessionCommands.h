#pragma once
// The commands that open the database, log in and change what is current: Open, the automatic
// login, Login with its wizard, Select Current Production, Synchronize, System Information and
// Change Password. They hold the window's one engine session.
#include <QObject>
#include <QPointer>
#include <QString>

#include "client/adapter/EngineCall.h"
#include "client/main/Workspace.h"
#include "client/server/OpenServerDialog.h"

class QWidget;

namespace tarnwick {

class ClientConfig;
class MessageSink;

class SessionCommands : public QObject {
    Q_OBJECT
  public:
    // session: the window's session; filterFile: where the saved filters live.
    SessionCommands(ComPtr<IExeContext> session, Workspace workspace, MessageSink& messages,
                    ClientConfig& config, QString filterFile, QWidget* window);

    IExeContext* session() const { return session_.Get(); }
    bool databaseOpen() const { return databaseOpen_; }
    // The database last opened (empty before the first): a file's path or a server URI.
    const QString& databasePath() const { return databasePath_; }
    // The session's current user, active version and product, 0 when none (or unreadable).
    LONG currentUserID() const;
    LONG activeVersionID() const;
    LONG activeProductID() const;

    // Opens the database at path: the lists, the filter list and the info bar are emptied first.
    bool openDatabase(const QString& path);
    // Opens what the user chose (a file, a server URI, the command line's argument): the
    // engine's message and "Open database failed!" when that fails. Opening does not log in.
    bool openChosen(const QString& path);
    // Runs the file dialog of the Open command.
    void open();
    // Runs the Open Server dialog; its URI is opened as Open opens a file.
    void openServer();
    // The Open Server dialog while it is open.
    OpenServerDialog* openServerDialog() const { return openServerDialog_; }
    // The automatic login after start-up, as Bug.cfg asks for it.
    void autoLogin();
    // Runs the login wizard (it returns at once; loginFinished follows).
    void login();
    void selectProduction();
    void synchronize();
    void systemInformation();
    void changePassword();

  signals:
    // The session changed (user, role, version or database): commands are enabled anew.
    void sessionChanged();
    // The automatic login or a login through the wizard has ended, whatever its outcome.
    void loginFinished();

  private:
    void afterWizardFinished(bool versionMode);
    void afterWizardCancelled(const ComPtr<IUser>& previousUser);
    void showVersionInInfoBar();
    void openLists();
    void rebuildFilters();
    void showFailure(const EngineFailure& failure);

    ComPtr<IExeContext> session_;
    Workspace workspace_;
    MessageSink& messages_;
    ClientConfig& config_;
    QString filterFile_;
    QWidget* window_;
    bool databaseOpen_ = false;
    QString databasePath_;
    QPointer<OpenServerDialog> openServerDialog_;
};

} // namespace tarnwick
