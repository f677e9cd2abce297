#pragma once
// Tarnwick's main window: menus and toolbar, the info bar, the Bugs and Features lists above the
// detail tabs, the status bar. It owns the one engine session and wires the commands to the
// parts that do their work.
#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "client/adapter/EngineCall.h"
#include "client/main/Workspace.h"

class QLabel;
class QMenu;
class QSplitter;

namespace tarnwick {

class ClientConfig;
struct MainActions;
class BugCommands;
class BugListView;
class DetailTabs;
class FilterCommands;
class FilterList;
class InfoBar;
class ListCommands;
class MessageSink;
class QuickSearchBox;
class SessionCommands;
class ManageCommands;
class ExportCommand;
class PrintCommands;
class ToolCommands;

// Where the window keeps its files.
struct WindowFiles {
    QString config;   // Bug.cfg
    QString filters;  // filter.ser
    QString settings; // window and column layout
    // The files in their usual places.
    static WindowFiles Default();
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(MessageSink& messages, ClientConfig& config, WindowFiles files,
               QWidget* parent = nullptr);
    // startDatabase (a file's full path or a server URI, see StartDatabase.h), when not empty,
    // is opened once the window is on screen, in place of Bug.cfg's automatic login; nobody is
    // logged in, as after Database > Open.
    MainWindow(MessageSink& messages, ClientConfig& config, WindowFiles files,
               QString startDatabase, QWidget* parent = nullptr);
    ~MainWindow() override;

    // False when the engine's session could not be created (the message was shown).
    bool created() const { return static_cast<bool>(session_); }

    // Sets every command's enabled state from the session and the shown list.
    void updateCommands();

    MainActions& actions() const { return *actions_; }
    SessionCommands& sessionCommands() const { return *sessionCommands_; }
    ListCommands& listCommands() const { return *listCommands_; }
    BugCommands& bugCommands() const { return *bugCommands_; }
    FilterCommands& filterCommands() const { return *filterCommands_; }
    ToolCommands& toolCommands() const { return *toolCommands_; }
    ManageCommands& manageCommands() const { return *manageCommands_; }
    PrintCommands& printCommands() const { return *printCommands_; }
    ExportCommand& exportCommand() const { return *exportCommand_; }
    const Workspace& workspace() const { return workspace_; }
    InfoBar* infoBar() const { return workspace_.infoBar; }
    BugListView* bugList() const { return workspace_.bugs; }
    BugListView* featureList() const { return workspace_.features; }
    DetailTabs* details() const { return workspace_.details; }
    FilterList& filters() const { return *filters_; }
    QuickSearchBox* quickSearch() const { return quickSearch_; }
    QMenu* filterMenu() const { return filterMenu_; }
    QSplitter* splitter() const { return splitter_; }

  signals:
    // The automatic login or a login through the wizard has ended.
    void loginFinished();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();
    void connectCommands();
    void connectList(BugListView* list);
    void showHelp();
    void showAbout();
    void applyQuickSearch(const QString& text);
    void restoreLayout();
    void saveLayout() const;

    MessageSink& messages_;
    ClientConfig& config_;
    WindowFiles files_;
    ComPtr<IExeContext> session_;
    std::unique_ptr<FilterList> filters_;
    Workspace workspace_;
    std::unique_ptr<MainActions> actions_;
    SessionCommands* sessionCommands_ = nullptr;
    ListCommands* listCommands_ = nullptr;
    BugCommands* bugCommands_ = nullptr;
    FilterCommands* filterCommands_ = nullptr;
    ToolCommands* toolCommands_ = nullptr;
    ManageCommands* manageCommands_ = nullptr;
    PrintCommands* printCommands_ = nullptr;
    ExportCommand* exportCommand_ = nullptr;
    QuickSearchBox* quickSearch_ = nullptr;
    QMenu* filterMenu_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QLabel* countLabel_ = nullptr;
    bool splitterRestored_ = false;
};

} // namespace tarnwick
