#pragma once
// Building a brand-new database file quickly: while an UnsyncedBuild lives, the one file it names
// is written without flushing anything to disk, its rollback journal is kept in memory, and its
// locks are held inside this process only, by each connection from its first use of the file
// until it closes. Every other file is untouched.
//
// This is for a file that nobody else can see yet (made under a private name and published
// when complete): a crash part way leaves that file unusable, so the caller throws it away on
// any failure and flushes it once at the end, after every connection to it has closed.
//
// The switch lives in the system's SQLite library, which every library of the process shares, so
// it reaches connections opened by the engine as well as by the caller. Only one build runs at a
// time.
#include <string>

namespace velmora::db {

class UnsyncedBuild {
  public:
    // Takes effect for connections opened from now on. The file must exist. Throws DbError when
    // it cannot be found or another build is running.
    explicit UnsyncedBuild(const std::string& path);
    // Ends the build for connections opened afterwards; connections still open keep working.
    ~UnsyncedBuild();
    UnsyncedBuild(const UnsyncedBuild&) = delete;
    UnsyncedBuild& operator=(const UnsyncedBuild&) = delete;

    // How many connections of this process have the file open.
    static int OpenConnections();
};

} // namespace velmora::db
