#include "client/main/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "client/config/ClientConfig.h"
#include "client/config/ClientFiles.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/list/DateText.h"
#include "client/list/QuickSearchBox.h"
#include "client/main/AboutText.h"
#include "client/main/BugCommands.h"
#include "client/main/FilterCommands.h"
#include "client/main/InfoBar.h"
#include "client/main/ListCommands.h"
#include "client/main/MainActions.h"
#include "client/main/ManageCommands.h"
#include "client/main/SessionCommands.h"
#include "client/main/ToolCommands.h"
#include "client/panes/AttachmentPane.h"
#include "client/panes/DetailTabs.h"
#include "client/print/ExportCommand.h"
#include "client/print/PrintCommands.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kHelpNotFound = "Help File NOT Found!";
// The list area's height when the window first opens (room for a dozen rows); the detail tabs
// take the rest.
constexpr int kInitialListHeight = 320;

} // namespace

WindowFiles WindowFiles::Default() {
    return {ClientFilePath(QStringLiteral("Bug.cfg")), ClientFilePath(QStringLiteral("filter.ser")),
            UserConfigDirectory() + QStringLiteral("/tarnwick.ini")};
}

MainWindow::MainWindow(MessageSink& messages, ClientConfig& config, WindowFiles files,
                       QWidget* parent)
    : MainWindow(messages, config, std::move(files), QString(), parent) {}

MainWindow::MainWindow(MessageSink& messages, ClientConfig& config, WindowFiles files,
                       QString startDatabase, QWidget* parent)
    : QMainWindow(parent), messages_(messages), config_(config), files_(std::move(files)),
      filters_(std::make_unique<FilterList>()) {
    setWindowTitle(QApplication::applicationName());
    Attempt([&] { session_ = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext); },
            [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    actions_ = std::make_unique<MainActions>(this);
    buildLayout();
    sessionCommands_ =
        new SessionCommands(session_, workspace_, messages_, config_, files_.filters, this);
    listCommands_ = new ListCommands(workspace_, messages_, this);
    bugCommands_ = new BugCommands(workspace_, messages_, config_, this);
    filterCommands_ = new FilterCommands(workspace_, messages_, config_, files_.filters, this);
    toolCommands_ = new ToolCommands(messages_, config_, files_.config, this);
    printCommands_ = new PrintCommands(messages_, this);
    manageCommands_ = new ManageCommands(messages_, this);
    exportCommand_ = new ExportCommand(messages_, this);
    connectCommands();
    restoreLayout();
    updateCommands();
    if (!session_) return;

    const QString error = config_.Load(files_.config);
    if (!error.isEmpty()) messages_.Inform(this, error);
    workspace_.bugs->setDateFormat(config_.DateFormat);
    workspace_.features->setDateFormat(config_.DateFormat);
    if (!startDatabase.isEmpty())
        QMetaObject::invokeMethod(
            sessionCommands_,
            [commands = sessionCommands_, startDatabase] { commands->openChosen(startDatabase); },
            Qt::QueuedConnection);
    else if (config_.UseDefaultDatabase)
        QMetaObject::invokeMethod(sessionCommands_, &SessionCommands::autoLogin,
                                  Qt::QueuedConnection);
}

MainWindow::~MainWindow() {
    // The lists and panes let go of their engine objects before the session closes.
    if (workspace_.bugs) workspace_.bugs->SetBugSet(nullptr);
    if (workspace_.features) workspace_.features->SetBugSet(nullptr);
    if (workspace_.details) workspace_.details->showBug(nullptr, nullptr);
    filters_->Clear();
    if (session_) session_->Close();
}

void MainWindow::buildLayout() {
    workspace_.infoBar = new InfoBar(this);
    workspace_.filters = filters_.get();

    auto* listArea = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(2);
    quickSearch_ = new QuickSearchBox(listArea);
    listLayout->addWidget(quickSearch_);
    workspace_.listTabs = new QTabWidget(listArea);
    workspace_.listTabs->setAccessibleName(QStringLiteral("Lists"));
    workspace_.bugs = new BugListView(messages_, workspace_.listTabs);
    workspace_.bugs->setAccessibleName(QStringLiteral("Bugs"));
    workspace_.features = new BugListView(messages_, workspace_.listTabs);
    workspace_.features->setAccessibleName(QStringLiteral("Features"));
    workspace_.listTabs->addTab(workspace_.bugs, QStringLiteral("Bugs"));
    workspace_.listTabs->addTab(workspace_.features, QStringLiteral("Features"));
    listLayout->addWidget(workspace_.listTabs);

    workspace_.details =
        new DetailTabs([this](DATE date) { return DateText(date, config_.DateFormat); }, this);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("MainSplitter"));
    splitter_->addWidget(listArea);
    splitter_->addWidget(workspace_.details);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(1, 1);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(workspace_.infoBar);
    layout->addWidget(splitter_, 1);
    setCentralWidget(central);

    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("shownCount"));
    countLabel_->setAccessibleName(QStringLiteral("Shown bugs"));
    statusBar()->addPermanentWidget(countLabel_);
    filterMenu_ = new QMenu(this);
    actions_->selectFilterButton->setMenu(filterMenu_);
    resize(1000, 700);
}

void MainWindow::connectCommands() {
    MainActions& a = *actions_;
    SessionCommands* session = sessionCommands_;
    ListCommands* lists = listCommands_;
    connect(a.open, &QAction::triggered, session, &SessionCommands::open);
    connect(a.openServer, &QAction::triggered, session, &SessionCommands::openServer);
    connect(a.login, &QAction::triggered, session, &SessionCommands::login);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.refresh, &QAction::triggered, lists, &ListCommands::refresh);
    connect(a.remove, &QAction::triggered, lists, &ListCommands::deleteSelected);
    connect(a.selectFilter, &QAction::triggered, this, [this] {
        listCommands_->toggleFilter();
        updateCommands();
    });
    connect(filterMenu_, &QMenu::aboutToShow, this,
            [this] { listCommands_->fillFilterMenu(*filterMenu_); });
    connect(filterMenu_, &QMenu::triggered, this, [this](QAction* item) {
        listCommands_->chooseFilter(item->data().toInt());
        updateCommands();
    });
    connect(a.reportBug, &QAction::triggered, this,
            [this] { bugCommands_->reportBug(sessionCommands_->session()); });
    connect(a.reportFeature, &QAction::triggered, this,
            [this] { bugCommands_->reportFeature(sessionCommands_->session()); });
    connect(a.edit, &QAction::triggered, this, [this] {
        if (workspace_.shownList()->SelectedCount() == 1)
            bugCommands_->edit(sessionCommands_->session());
    });
    connect(a.setFilters, &QAction::triggered, this,
            [this] { filterCommands_->setFilters(sessionCommands_->session()); });
    connect(bugCommands_, &BugCommands::notice, this,
            [this](const QString& text) { statusBar()->showMessage(text, 15000); });
    connect(bugCommands_, &BugCommands::bugStored, this, [this] {
        listCommands_->showSelection(sessionCommands_->session());
        updateCommands();
    });
    connect(filterCommands_, &FilterCommands::filtersChanged, this, &MainWindow::updateCommands);
    connect(a.print, &QAction::triggered, this,
            [this] { printCommands_->print(*workspace_.shownList()->bugModel()); });
    connect(a.printPreview, &QAction::triggered, this,
            [this] { printCommands_->preview(*workspace_.shownList()->bugModel()); });
    connect(a.exportList, &QAction::triggered, this,
            [this] { exportCommand_->start(*workspace_.shownList()->bugModel()); });
    connect(a.addProduction, &QAction::triggered, this,
            [this] { manageCommands_->addProduction(sessionCommands_->session()); });
    connect(a.editProduction, &QAction::triggered, this,
            [this] { manageCommands_->editProduction(sessionCommands_->session()); });
    connect(a.assignUser, &QAction::triggered, this,
            [this] { manageCommands_->assignUser(sessionCommands_->session()); });
    // Renamed products, versions and classifications show in the lists and the details.
    connect(manageCommands_, &ManageCommands::productsChanged, this, [this] {
        workspace_.bugs->Refresh();
        workspace_.features->Refresh();
        listCommands_->showSelection(sessionCommands_->session());
        updateCommands();
    });
    connect(a.options, &QAction::triggered, this,
            [this] { toolCommands_->options(sessionCommands_->databasePath()); });
    connect(toolCommands_, &ToolCommands::optionsChanged, this, [this] {
        workspace_.bugs->setDateFormat(config_.DateFormat);
        workspace_.features->setDateFormat(config_.DateFormat);
        listCommands_->showSelection(sessionCommands_->session());
    });
    connect(a.synchronize, &QAction::triggered, session, &SessionCommands::synchronize);
    connect(a.selectProduction, &QAction::triggered, session, &SessionCommands::selectProduction);
    connect(a.systemInformation, &QAction::triggered, session, &SessionCommands::systemInformation);
    connect(a.changePassword, &QAction::triggered, session, &SessionCommands::changePassword);
    connect(a.help, &QAction::triggered, this, &MainWindow::showHelp);
    connect(a.about, &QAction::triggered, this, &MainWindow::showAbout);
    connect(a.findShortcut, &QAction::triggered, quickSearch_, [this] {
        quickSearch_->setFocus(Qt::ShortcutFocusReason);
        quickSearch_->selectAll();
    });
    connect(quickSearch_, &QuickSearchBox::searchChanged, this, &MainWindow::applyQuickSearch);

    connect(session, &SessionCommands::sessionChanged, this, &MainWindow::updateCommands);
    connect(session, &SessionCommands::loginFinished, this, &MainWindow::loginFinished);
    connect(lists, &ListCommands::detailFailed, this,
            [this](const QString& text) { statusBar()->showMessage(text, 10000); });
    connect(workspace_.listTabs, &QTabWidget::currentChanged, this, [this] {
        applyQuickSearch(quickSearch_->text());
        listCommands_->showSelection(sessionCommands_->session());
        updateCommands();
    });
    connect(workspace_.details->attachment(), &AttachmentPane::openFailed, this,
            [this](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    connectList(workspace_.bugs);
    connectList(workspace_.features);
}

void MainWindow::connectList(BugListView* list) {
    connect(list, &BugListView::itemChanged, this, [this, list](LONG) {
        if (list != workspace_.shownList()) return;
        listCommands_->showSelection(sessionCommands_->session());
        updateCommands();
    });
    // The list tells of a selected bug; an emptied selection empties the details here.
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, list] {
        if (list != workspace_.shownList() || list->SelectedBugID() != 0) return;
        workspace_.details->showBug(nullptr, nullptr);
        updateCommands();
    });
    connect(list->model(), &QAbstractItemModel::modelReset, this, [this, list] {
        if (list == workspace_.shownList()) updateCommands();
    });
    // Double click and Enter edit.
    const auto edit = [this] { actions_->edit->trigger(); };
    connect(list, &BugListView::itemDoubleClicked, this, edit);
    connect(list, &BugListView::editRequested, this, edit);
    connect(list, &BugListView::deleteRequested, actions_->remove, &QAction::trigger);
    connect(list, &BugListView::contextCommand, this, [this](BugListView::ContextCommand command) {
        using Command = BugListView::ContextCommand;
        switch (command) {
        case Command::ReportBug:
            actions_->reportBug->trigger();
            break;
        case Command::ReportFeature:
            actions_->reportFeature->trigger();
            break;
        case Command::Edit:
            actions_->edit->trigger();
            break;
        case Command::Delete:
            actions_->remove->trigger();
            break;
        }
    });
    list->setContextMenuEnabledCheck([this] { return sessionCommands_->activeProductID() != 0; });
    connect(list, &BugListView::countsChanged, this, [this, list](int shown, int total) {
        if (list != workspace_.shownList()) return;
        countLabel_->setText(quickSearch_->text().isEmpty()
                                 ? QString()
                                 : QStringLiteral("%1 of %2 bugs").arg(shown).arg(total));
    });
}

void MainWindow::applyQuickSearch(const QString& text) {
    workspace_.bugs->setQuickSearch(workspace_.shownList() == workspace_.bugs ? text : QString());
    workspace_.features->setQuickSearch(workspace_.shownList() == workspace_.features ? text
                                                                                      : QString());
    if (text.isEmpty()) countLabel_->clear();
}

void MainWindow::updateCommands() {
    MainActions& a = *actions_;
    const bool hasSession = static_cast<bool>(session_);
    const LONG version = sessionCommands_->activeVersionID();
    const bool loggedIn = sessionCommands_->currentUserID() != 0;
    BugListView* shown = workspace_.shownList();
    a.login->setEnabled(sessionCommands_->databaseOpen());
    a.refresh->setEnabled(hasSession && version != 0);
    a.reportBug->setEnabled(version != 0);
    a.reportFeature->setEnabled(version != 0);
    a.edit->setEnabled(shown->SelectedCount() == 1);
    a.remove->setEnabled(shown->SelectedBugID() != 0);
    a.selectFilter->setEnabled(version != 0);
    actions_->selectFilterButton->setEnabled(version != 0);
    a.selectFilter->setChecked(listCommands_->shownListFiltered());
    a.setFilters->setEnabled(version != 0);
    for (QAction* userCommand :
         {a.selectProduction, a.addProduction, a.editProduction, a.assignUser, a.synchronize,
          a.systemInformation, a.changePassword})
        userCommand->setEnabled(loggedIn);
    const bool listShown = static_cast<bool>(shown->GetBugSet());
    a.print->setEnabled(listShown);
    a.printPreview->setEnabled(listShown);
    a.exportList->setEnabled(listShown);
}

void MainWindow::showHelp() {
    const QString manual =
        ProgramDirectory() + QStringLiteral("/../share/doc/tarnwick/manual/index.html");
    if (!QFileInfo::exists(manual)) {
        messages_.Inform(this, QString::fromLatin1(kHelpNotFound));
        return;
    }
    QProcess::startDetached(QStringLiteral("xdg-open"), {QFileInfo(manual).canonicalFilePath()});
}

void MainWindow::showAbout() {
    messages_.Inform(this, AboutText(QApplication::applicationVersion(), session_.Get()));
}

void MainWindow::restoreLayout() {
    QSettings settings(files_.settings, QSettings::IniFormat);
    if (!restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray()))
        resize(1000, 700);
    splitterRestored_ =
        splitter_->restoreState(settings.value(QStringLiteral("window/splitter")).toByteArray());
    workspace_.listTabs->setCurrentIndex(settings.value(QStringLiteral("window/list"), 0).toInt());
    workspace_.details->setCurrentIndex(settings.value(QStringLiteral("window/detail"), 0).toInt());
    workspace_.bugs->restoreState(settings, QStringLiteral("bugs"));
    workspace_.features->restoreState(settings, QStringLiteral("features"));
}

void MainWindow::saveLayout() const {
    QSettings settings(files_.settings, QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/splitter"), splitter_->saveState());
    settings.setValue(QStringLiteral("window/list"), workspace_.listTabs->currentIndex());
    settings.setValue(QStringLiteral("window/detail"), workspace_.details->currentIndex());
    workspace_.bugs->saveState(settings, QStringLiteral("bugs"));
    workspace_.features->saveState(settings, QStringLiteral("features"));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The first layout of a new window: sizes set before it is shown would be laid out again.
    if (!splitterRestored_) {
        splitterRestored_ = true;
        const int listHeight = kInitialListHeight + quickSearch_->sizeHint().height() +
                               workspace_.listTabs->tabBar()->sizeHint().height();
        const int total = std::max(splitter_->height(), height() - 200);
        splitter_->setSizes({listHeight, std::max(100, total - listHeight)});
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveLayout();
    QMainWindow::closeEvent(event);
}

} // namespace tarnwick
