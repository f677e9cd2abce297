// Draws Tarnwick's windows into PNG files: the main window logged in with a bug selected on each
// detail tab, both pages of the login wizard, the System Information dialog, the Select Filter
// drop-down, the bug editor's pages (new, edit, a Fixed bug, files attached), the filter editor
// with a filter of two groups, the merge dialog, the administration dialogs, the options, the
// Open Server dialog and a print preview. Run with QT_QPA_PLATFORM=offscreen and the engine
// registered.
//
//   tarnwick_screenshots FOLDER DATABASE
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QTreeWidget>

#include "client/admin/AddVersionDialog.h"
#include "client/admin/AssignUserDialog.h"
#include "client/admin/ProductSheet.h"
#include "client/admin/ProductionPage.h"
#include "client/admin/ProductionPropertyDialog.h"
#include "client/admin/VersionPage.h"
#include "client/attachments/AttachmentPage.h"
#include "client/config/ClientConfig.h"
#include "client/dialogs/SystemInfoDialog.h"
#include "client/editor/BugSheet.h"
#include "client/filtereditor/FilterDialog.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/login/LoginPage.h"
#include "client/login/LoginWizard.h"
#include "client/main/AppIcon.h"
#include "client/main/BugCommands.h"
#include "client/main/FilterCommands.h"
#include "client/main/ListCommands.h"
#include "client/main/MainActions.h"
#include "client/main/MainWindow.h"
#include "client/main/ManageCommands.h"
#include "client/main/SaveLoginDefaults.h"
#include "client/main/SessionCommands.h"
#include "client/main/ToolCommands.h"
#include "client/merge/MergeDialog.h"
#include "client/options/OptionsDialog.h"
#include "client/options/OptionsOtherPage.h"
#include "client/panes/DetailTabs.h"
#include "client/print/PrintCommands.h"
#include "client/server/OpenServerDialog.h"
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

// Every page of an open editor, named prefix-N-page.
void SaveEditorPages(BugSheet* editor, const QString& prefix) {
    auto* tabs = editor->findChild<QTabWidget*>();
    const QStringList names{"general",    "report",     "recreate-step",
                            "workaround", "resolution", "attachment"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        Save(editor, QStringLiteral("%1-%2-%3").arg(prefix).arg(tab + 1).arg(names.value(tab)));
    }
}

void CloseEditor(BugSheet* editor) {
    editor->finishSave(false);
    editor->done(QDialog::Rejected);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The first row of the list whose bug has the status.
int RowWithStatus(BugListView* list, const QString& status) {
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        list->selectRow(row);
        const ComPtr<IBug> bug = list->SelectedBug();
        if (bug && Text(bug.Get(), &IBug::get_Status) == status) return row;
    }
    return -1;
}

// The editor on a new bug, on the richest bug (all pages, files listed) and on a Fixed bug.
void DrawBugEditor(MainWindow& window, int richRow) {
    window.actions().reportBug->trigger();
    BugSheet* editor = window.bugCommands().editor();
    editor->resize(820, 560);
    Save(editor, QStringLiteral("bug-editor-general-new"));
    CloseEditor(editor);

    BugListView* list = window.bugList();
    list->selectRow(richRow);
    window.actions().edit->trigger();
    editor = window.bugCommands().editor();
    if (!editor) qFatal("the editor did not open");
    editor->resize(820, 560);
    SaveEditorPages(editor, QStringLiteral("bug-editor-edit"));
    CloseEditor(editor);

    const int fixed = RowWithStatus(list, QStringLiteral("Fixed"));
    if (fixed < 0) return;
    list->selectRow(fixed);
    window.actions().edit->trigger();
    editor = window.bugCommands().editor();
    editor->resize(820, 560);
    Save(editor, QStringLiteral("bug-editor-general-fixed"));
    CloseEditor(editor);
}

// A condition of a filter set.
void AddCondition(IBugFilterSet* set, eLogOperation andOr, const char* field, const char* value) {
    auto condition = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(condition->put_AndOr(andOr));
    Check(condition->put_Field(ToBstr(QString::fromLatin1(field)).Get()));
    Check(condition->put_Condition(Equal));
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = ToBstr(QString::fromLatin1(value)).Detach();
    Check(condition->put_Value(text));
    VariantClear(&text);
    Check(set->Add(condition.Get()));
}

// The filter editor on a saved filter of two groups: open and urgent, or critical.
void DrawFilterEditor(MainWindow& window) {
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(set->put_Name(ToBstr(QStringLiteral("Urgent work")).Get()));
    AddCondition(set.Get(), LogAnd, "StatusName", "Active");
    AddCondition(set.Get(), LogAnd, "PriorityName", "High");
    AddCondition(set.Get(), LogOr, "SeverityName", "Critical");
    window.filters().Add(set);
    window.actions().setFilters->trigger();
    FilterDialog* dialog = window.filterCommands().dialog();
    if (!dialog) return;
    dialog->nameList()->setCurrentRow(dialog->nameList()->count() - 1);
    dialog->conditionList()->setCurrentItem(dialog->conditionList()->topLevelItem(2));
    Save(dialog, QStringLiteral("filter-editor"));
    dialog->reject();
}

// The merge question as a colleague's clash on the status, the priority and the report shows it.
void DrawMergeDialog(MainWindow& window) {
    const ComPtr<IBug> bug = window.bugList()->SelectedBug();
    if (!bug) return;
    const BugFields theirs = ReadBugFields(bug.Get());
    BugFields mine = theirs;
    // I reopened the bug; the colleague kept it as it was.
    mine.status = theirs.status == QLatin1String("Active") ? QStringLiteral("Postponed")
                                                           : QStringLiteral("Active");
    mine.fixedByID = mine.verifiedByID = mine.fixedInVersionID = 0;
    mine.fixedDate = mine.verifiedDate = 0;
    mine.priority =
        theirs.priority == QLatin1String("High") ? QStringLiteral("Low") : QStringLiteral("High");
    mine.report = QStringLiteral("{\\rtf1\\ansi The export stalls at 99% when the list holds "
                                 "more than 10,000 rows.\\par}");
    MergeDialog dialog({BugField::Status, BugField::Priority, BugField::Report}, mine, theirs,
                       EngineIdNames(), &window);
    dialog.choose(BugField::Status, MergeSide::Theirs);
    dialog.choose(BugField::Report, MergeSide::Mine);
    dialog.open();
    Save(&dialog, QStringLiteral("merge-dialog"));
    dialog.reject();
}

// Every tab of a tabbed dialog, named prefix-N-name.
void SaveTabs(QWidget* dialog, QTabWidget* tabs, const QString& prefix) {
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QString name = tabs->tabText(tab).toLower().remove(QLatin1Char('&'));
        name.replace(QLatin1Char(' '), QLatin1Char('-'));
        Save(dialog, QStringLiteral("%1-%2-%3").arg(prefix).arg(tab + 1).arg(name));
    }
}

// Add Production's first two pages with the Add Version dialog, Production Property with the
// sheet that edits a product, and Assign User to Classification.
void DrawAdministration(MainWindow& window) {
    window.actions().addProduction->trigger();
    auto* wizard = qobject_cast<admin::ProductSheet*>(window.manageCommands().dialog());
    if (!wizard) qFatal("Add Production did not open");
    wizard->resize(620, 460);
    wizard->productionPage()->setProduct(QStringLiteral("Lighthouse Desktop"),
                                         QStringLiteral("The desktop edition of the ledger."));
    Save(wizard, QStringLiteral("add-production-1-production"));
    wizard->next();
    wizard->versionPage()->addVersion();
    if (QDialog* version = wizard->versionPage()->versionDialog()) {
        Save(version, QStringLiteral("add-version-dialog"));
        version->reject();
    }
    Save(wizard, QStringLiteral("add-production-2-version"));
    wizard->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    window.actions().editProduction->trigger();
    auto* property =
        qobject_cast<admin::ProductionPropertyDialog*>(window.manageCommands().dialog());
    if (!property) qFatal("Edit Production did not open");
    Save(property, QStringLiteral("production-property"));
    property->list()->setCurrentItem(property->list()->topLevelItem(0));
    property->editProduction();
    if (admin::ProductSheet* sheet = property->sheet()) {
        sheet->resize(620, 460);
        SaveTabs(sheet, sheet->tabs(), QStringLiteral("edit-production"));
        sheet->reject();
    }
    property->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    window.actions().assignUser->trigger();
    auto* assign = qobject_cast<admin::AssignUserDialog*>(window.manageCommands().dialog());
    if (!assign) qFatal("Assign User to Classification did not open");
    assign->chooseUser(1);
    Save(assign, QStringLiteral("assign-user-to-classification"));
    assign->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Both pages of Options and the date-format menu.
void DrawOptions(MainWindow& window) {
    window.actions().options->trigger();
    OptionsDialog* options = window.toolCommands().optionsDialog();
    if (!options) qFatal("Options did not open");
    SaveTabs(options, options->pages(), QStringLiteral("options"));
    options->otherPage()->showFormatMenu();
    Save(options->otherPage()->formatMenu(), QStringLiteral("options-format-menu"));
    options->otherPage()->formatMenu()->hide();
    options->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Database > Open Server... with a team's URI typed in (no password in it: that goes in
// ~/.pgpass, as the dialog says).
void DrawOpenServer(MainWindow& window) {
    window.actions().openServer->trigger();
    OpenServerDialog* dialog = window.sessionCommands().openServerDialog();
    if (!dialog) qFatal("Open Server did not open");
    dialog->uriEdit()->setText(QStringLiteral("postgresql://mhart@tracker.example.com:5432/team"));
    Save(dialog, QStringLiteral("open-server-dialog"));
    dialog->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The first page of the shown list's report in the preview window.
void DrawPrintPreview(MainWindow& window) {
    window.actions().printPreview->trigger();
    QPrintPreviewDialog* preview = window.printCommands().previewDialog();
    if (!preview) qFatal("Print Preview did not open");
    preview->resize(900, 760);
    Save(preview, QStringLiteral("print-preview"));
    preview->reject();
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
        written.DefaultVersionID =
            FindVersionID(session.Get(), QStringLiteral("Harbor Ledger/2.1"));
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
    const QStringList names{"general",    "report",     "recreate-step",     "workaround",
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

    DrawBugEditor(window, row);
    DrawFilterEditor(window);
    DrawMergeDialog(window);
    DrawAdministration(window);
    DrawOptions(window);
    DrawOpenServer(window);
    DrawPrintPreview(window);
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
