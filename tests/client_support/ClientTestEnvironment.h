#pragma once
// The engine as the installed client finds it, for the life of one test program: a private
// registry in a fresh folder with the built engine registered in it, and the component runtime
// initialised on the test thread. Databases are made by the velmora tool, as a user makes them.
#include <QString>
#include <QTemporaryDir>

namespace tarnwick::test {

class ClientTestEnvironment {
  public:
    // Registers the engine; a failure ends the program with a message (nothing can run).
    ClientTestEnvironment();
    ~ClientTestEnvironment();
    ClientTestEnvironment(const ClientTestEnvironment&) = delete;
    ClientTestEnvironment& operator=(const ClientTestEnvironment&) = delete;

    // A path in the private folder.
    QString File(const QString& name) const;
    // A new empty database (only Admin, with an empty password, and the lookup lists).
    QString NewDatabase(const QString& name) const;
    // A demo database of the given size; made once per name and seed in this folder.
    QString DemoDatabase(const QString& name, int bugs, int seed = 1) const;
    // Runs the velmora tool with the arguments; returns its exit status, its output in *output.
    int RunTool(const QStringList& arguments, QString* output = nullptr) const;

  private:
    QTemporaryDir folder_;
};

} // namespace tarnwick::test
