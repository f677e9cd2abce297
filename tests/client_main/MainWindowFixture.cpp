#include "tests/client_main/MainWindowFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "client/main/SaveLoginDefaults.h"
#include "client/main/SessionCommands.h"

namespace tarnwick::test {

MainWindowFixture::MainWindowFixture(ClientTestEnvironment& environment)
    : environment(environment), files{environment.File(QStringLiteral("Bug.cfg")),
                                      environment.File(QStringLiteral("filter.ser")),
                                      environment.File(QStringLiteral("tarnwick.ini"))},
      database_(environment.DemoDatabase(QStringLiteral("demo.mdb"), 120)) {
    QFile::remove(files.config);
    QFile::remove(files.filters);
    QFile::remove(files.settings);
}

ComPtr<IExeContext> MainWindowFixture::openSession(const QString& login,
                                                   const QString& password) const {
    auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session->OpenAccessDB(ToBstr(database_).Get()));
    Check(session->Login(ToBstr(login).Get(), ToBstr(password).Get()));
    return session;
}

LONG MainWindowFixture::versionID(const QString& productSlashVersion) const {
    return FindVersionID(openSession(QStringLiteral("Admin"), QString()).Get(),
                         productSlashVersion);
}

void MainWindowFixture::writeConfig(bool openDatabase, const QString& login,
                                    const QString& password, const QString& version,
                                    const QString& role) {
    ClientConfig written;
    written.UseDefaultDatabase = openDatabase;
    written.DatabasePath = database_;
    written.UseDefaultLogin = !login.isEmpty();
    written.LoginName = login;
    written.Password = password;
    written.SavePassword = 1;
    written.UseDefaultRoleOrProduct = !version.isEmpty() || !role.isEmpty();
    if (!version.isEmpty()) written.DefaultVersionID = versionID(version);
    if (!role.isEmpty()) {
        const auto session = openSession(login, password);
        const ComPtr<IUser> user = Object(session.Get(), &IExeContext::get_CurUser);
        const ComPtr<IRoleSet> roles = Object(user.Get(), &IUser::get_RoleSet);
        for (LONG i = 0; i < Long(roles.Get(), &IRoleSet::get_Count); ++i) {
            const ComPtr<IRole> each = Item(roles.Get(), &IRoleSet::get_Item, i);
            if (Text(each.Get(), &IRole::get_Name) == role)
                written.DefaultRoleID = Long(each.Get(), &IRole::get_ID);
        }
    }
    const QString error = written.Save(files.config);
    if (!error.isEmpty()) qFatal("cannot write Bug.cfg: %s", qPrintable(error));
}

MainWindow& MainWindowFixture::start() {
    window = std::make_unique<MainWindow>(messages, config, files);
    QSignalSpy finished(window.get(), &MainWindow::loginFinished);
    window->show();
    if (config.UseDefaultDatabase && !finished.wait(20000)) qFatal("no automatic login");
    return *window;
}

void MainWindowFixture::stop() {
    if (window) window->close();
    window.reset();
}

LONG MainWindowFixture::currentUserID() const {
    return window->sessionCommands().currentUserID();
}

} // namespace tarnwick::test
