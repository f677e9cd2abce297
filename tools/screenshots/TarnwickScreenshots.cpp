// Draws Tarnwick's windows into PNG files: the main window logged in with a bug selected on each
// detail tab, both pages of the login wizard, the System Information dialog and the Select
// Filter drop-down. Run with QT_QPA_PLATFORM=offscreen and the engine registered.
//
//   tarnwick_screenshots FOLDER DATABASE
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>

#include "client/config/ClientConfig.h"
#include "client/list/BugListView.h"
#include "client/login/LoginPage.h"
#include "client/login/LoginWizard.h"
#include "client/dialogs/SystemInfoDialog.h"
#include "client/main/AppIcon.h"
#include "client/main/ListCommands.h"
#include "client/main/MainActions.h"
#include "client/main/MainWindow.h"
#include "client/main/SaveLoginDefaults.h"
#include "client/main/SessionCommands.h"
#include "client/panes/DetailTabs.h"
#include "client/widgets/MessageSink.h"

using namespace tarnwick;

namespace {

QString folder;

void Save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(file)) qFatal("cannot write %s", qPrintable(file));
    QTextStream(stdout) << file << "\n";
}

// The first row of the list whose bug has attachments (the richest bug to show).
int RowWithAttachments(BugListView* list) {
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        list->selectRow(row);
        const ComPtr<IBug> bug = list->SelectedBug();
        const ComPtr<IFileSet> files = bug ? Object(bug.Get(), &IBug::get_AttachedFiles) : nullptr;
        if (files && Long(files.Get(), &IFileSet::get_Count) > 0) return row;
    }
    return 0;
}

void DrawMainWindow(const QString& database, const QTemporaryDir& scratch,
                    RecordingMessageSink& messages) {
    ClientConfig written;
    written.UseDefaultDatabase = written.UseDefaultLogin = written.UseDefaultRoleOrProduct = 1;
    written.SavePassword = 1;
    written.DatabasePath = database;
    written.LoginName = QStringLiteral("mhart");
    written.Password = QStringLiteral("mhart-demo");
    {
        auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(database).Get()));
        Check(session->Login(ToBstr(written.LoginName).Get(), ToBstr(written.Password).Get()));
        written.DefaultVersionID = FindVersionID(session.Get(), QStringLiteral("Harbor Ledger/2.1"));
    }
    const WindowFiles files{scratch.filePath(QStringLiteral("Bug.cfg")),
                            scratch.filePath(QStringLiteral("filter.ser")),
                            scratch.filePath(QStringLiteral("tarnwick.ini"))};
    written.Save(files.config);
    ClientConfig config;
    MainWindow window(messages, config, files);
    QSignalSpy loggedIn(&window, &MainWindow::loginFinished);
    window.resize(1100, 760);
    window.show();
    if (!loggedIn.wait(30000)) qFatal("the automatic login did not end");
    BugListView* list = window.bugList();
    const int row = RowWithAttachments(list);
    list->selectRow(row);
    list->scrollTo(list->model()->index(row, 0));
    const QStringList names{"general", "report", "recreate-step", "workaround",
                            "resolution", "attachment", "system-information"};
    for (int tab = 0; tab < window.details()->count(); ++tab) {
        window.details()->setCurrentIndex(tab);
        Save(&window, QStringLiteral("main-window-%1-%2").arg(tab + 1).arg(names.value(tab)));
    }
    window.details()->setCurrentIndex(0);
    Save(&window, QStringLiteral("main-window"));

    QMenu* menu = window.filterMenu();
    window.listCommands().fillFilterMenu(*menu);
    QToolButton* button = window.actions().selectFilterButton;
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    Save(menu, QStringLiteral("filter-drop-down"));
    menu->hide();

    auto* info = new SystemInfoDialog(window.sessionCommands().session(), messages, &window);
    info->open();
    Save(info, QStringLiteral("system-information-dialog"));
    info->reject();
    window.close();
}

void DrawLoginWizard(const QString& database, RecordingMessageSink& messages) {
    auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session->OpenAccessDB(ToBstr(database).Get()));
    LoginWizard wizard(session.Get(), messages);
    wizard.show();
    wizard.setField(QLatin1String(LoginPage::kLoginNameField), QStringLiteral("mhart"));
    wizard.setField(QLatin1String(LoginPage::kPasswordField), QStringLiteral("mhart-demo"));
    Save(&wizard, QStringLiteral("login-wizard-1-login"));
    wizard.next();
    Save(&wizard, QStringLiteral("login-wizard-2-select"));
    wizard.reject();
    session->Close();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setWindowIcon(AppIcon());
    if (argc != 3) {
        QTextStream(stderr) << "Usage: tarnwick_screenshots FOLDER DATABASE\n";
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const QString database = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    CoInitialize(nullptr);
    RecordingMessageSink messages;
    QTemporaryDir scratch;
    const bool drawn = Attempt(
        [&] {
            DrawMainWindow(database, scratch, messages);
            DrawLoginWizard(database, messages);
        },
        [](const EngineFailure& failure) {
            QTextStream(stderr) << "tarnwick_screenshots: " << failure.text << "\n";
        });
    for (const QString& text : messages.texts)
        QTextStream(stderr) << "message shown: " << text << "\n";
    CoUninitialize();
    return drawn ? 0 : 1;
}
