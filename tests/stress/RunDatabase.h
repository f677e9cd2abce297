#pragma once
// The database a run works on: a file in the run's folder, or a new database made for the run on
// a PostgreSQL server and dropped again at the end unless it is to be kept.
#include <string>

#include "Workspace.h"

namespace velmora::stress {

class RunDatabase {
  public:
    // `serverUri` empty: the file `fileName` in the workspace, which must not exist yet.
    // Otherwise a maintenance URI of a server (one whose user may create databases): a new
    // database velmora_stress_<process id> is made there. Throws std::runtime_error.
    RunDatabase(const Workspace& workspace, const std::string& fileName,
                const std::string& serverUri);
    ~RunDatabase();
    RunDatabase(const RunDatabase&) = delete;
    RunDatabase& operator=(const RunDatabase&) = delete;

    // What the engine opens: the file's path or the new database's URI.
    const std::string& DataSource() const { return dataSource_; }
    bool OnServer() const { return !serverUri_.empty(); }
    // The data source as it may be printed (a password masked).
    std::string Shown() const;
    // Leaves a server database in place at the end (a file stays with its workspace).
    void Keep() { keep_ = true; }

    // Makes the server's index and table checker (the amcheck extension) available in the new
    // database. "" when it is, else why not: the integrity check is then skipped.
    std::string PrepareIntegrityCheck() const;

  private:
    std::string serverUri_;
    std::string name_; // the server database's name
    std::string dataSource_;
    bool keep_ = false;
};

} // namespace velmora::stress
