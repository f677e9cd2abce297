#pragma once
// A main window on a demo database, with its own Bug.cfg, filter.ser and layout file in a
// private folder and a message sink that records every message and answers every question.
#include <QString>

#include <memory>

#include "client/config/ClientConfig.h"
#include "client/main/MainWindow.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_support/ClientTestEnvironment.h"

namespace tarnwick::test {

class MainWindowFixture {
  public:
    explicit MainWindowFixture(ClientTestEnvironment& environment);

    // The demo database every test of the program shares (made once).
    QString database() const { return database_; }
    // A Bug.cfg that opens the database and logs login in; version "Product/Version" or role
    // name choose what becomes current (neither: nothing does).
    void writeConfig(bool openDatabase, const QString& login = {}, const QString& password = {},
                     const QString& version = {}, const QString& role = {});
    // A new window as the program makes it; waits for the automatic login when the config
    // asks for one.
    MainWindow& start();
    // Closes and destroys the window.
    void stop();

    // The session's identifiers and a fresh session of our own on the same database.
    LONG currentUserID() const;
    ComPtr<IExeContext> openSession(const QString& login, const QString& password) const;
    LONG versionID(const QString& productSlashVersion) const;

    ClientTestEnvironment& environment;
    RecordingMessageSink messages;
    ClientConfig config;
    WindowFiles files;
    std::unique_ptr<MainWindow> window;

  private:
    QString database_;
};

} // namespace tarnwick::test
