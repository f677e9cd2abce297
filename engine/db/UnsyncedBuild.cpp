#include "UnsyncedBuild.h"

#include "ErrorCodes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <sqlite3.h>

// A file system layer (VFS) over the one SQLite had as its default. It changes three things for
// the build's file and its journal only, and passes everything else through:
// - syncs of the database file do nothing;
// - the rollback journal lives in memory, so a transaction costs no file creation or removal
//   (rollback and savepoints still work: they read the journal back as from a file);
// - locks are kept in a table of this process instead of the file system, and a connection keeps
//   its lock between transactions (exclusive locking mode).

namespace velmora::db {
namespace {

enum LockLevel { kNone = SQLITE_LOCK_NONE, kShared = SQLITE_LOCK_SHARED };

struct Build {
    std::mutex mutex;
    sqlite3_vfs* lower = nullptr; // the default file system layer underneath
    sqlite3_vfs vfs{};
    bool active = false;
    std::string database; // canonical path, as SQLite names it
    std::string journal;
    std::map<std::string, std::shared_ptr<std::string>> journals; // in-memory journal files
    int openConnections = 0;
    int sharedHolders = 0;
    const void* writer = nullptr; // the connection holding RESERVED or more
    int writerLevel = kNone;
};

// Never destroyed: a connection may close after every other static is gone.
Build& State() {
    static auto* build = new Build;
    return *build;
}

// ---- The database file: the lower layer's file with syncs and locks of our own ----

// SQLite hands out file objects aligned for a pointer only: nothing here may ask for more.
struct DatabaseFile {
    sqlite3_file base;
    int level;
    sqlite3_file* Lower() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
static_assert(alignof(DatabaseFile) <= alignof(void*) && sizeof(DatabaseFile) % alignof(void*) == 0,
              "the lower layer's file follows at pointer alignment");

DatabaseFile* Db(sqlite3_file* file) {
    return reinterpret_cast<DatabaseFile*>(file);
}
sqlite3_file* Lower(sqlite3_file* file) {
    return Db(file)->Lower();
}

// SQLite's lock levels within one process: any number of readers, one writer that becomes
// exclusive once the readers have gone.
int Lock(sqlite3_file* file, int wanted) {
    DatabaseFile* db = Db(file);
    Build& build = State();
    std::lock_guard lock(build.mutex);
    if (db->level >= wanted) return SQLITE_OK;
    const bool otherWriter = build.writer != nullptr && build.writer != db;
    if (wanted == SQLITE_LOCK_SHARED) {
        if (otherWriter && build.writerLevel >= SQLITE_LOCK_PENDING) return SQLITE_BUSY;
        ++build.sharedHolders;
        db->level = SQLITE_LOCK_SHARED;
        return SQLITE_OK;
    }
    if (otherWriter) return SQLITE_BUSY;
    build.writer = db;
    if (wanted == SQLITE_LOCK_EXCLUSIVE && build.sharedHolders > 1) {
        db->level = build.writerLevel = SQLITE_LOCK_PENDING; // keeps new readers out meanwhile
        return SQLITE_BUSY;
    }
    db->level = build.writerLevel = wanted;
    return SQLITE_OK;
}

int Unlock(sqlite3_file* file, int wanted) {
    DatabaseFile* db = Db(file);
    Build& build = State();
    std::lock_guard lock(build.mutex);
    if (db->level <= wanted) return SQLITE_OK;
    if (build.writer == db) {
        build.writer = nullptr;
        build.writerLevel = kNone;
    }
    if (wanted == kNone && db->level >= kShared) --build.sharedHolders;
    db->level = wanted;
    return SQLITE_OK;
}

int CheckReservedLock(sqlite3_file*, int* reserved) {
    Build& build = State();
    std::lock_guard lock(build.mutex);
    *reserved = build.writer != nullptr;
    return SQLITE_OK;
}

int DbClose(sqlite3_file* file) {
    Unlock(file, kNone);
    sqlite3_file* lower = Lower(file);
    const int rc = lower->pMethods->xClose(lower);
    std::lock_guard lock(State().mutex);
    --State().openConnections;
    return rc;
}
int DbRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return Lower(file)->pMethods->xRead(Lower(file), buffer, amount, offset);
}
int DbWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    return Lower(file)->pMethods->xWrite(Lower(file), buffer, amount, offset);
}
int DbTruncate(sqlite3_file* file, sqlite3_int64 size) {
    return Lower(file)->pMethods->xTruncate(Lower(file), size);
}
int DbSync(sqlite3_file*, int) {
    return SQLITE_OK;
}
int DbFileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Lower(file)->pMethods->xFileSize(Lower(file), size);
}
int DbFileControl(sqlite3_file* file, int op, void* argument) {
    return Lower(file)->pMethods->xFileControl(Lower(file), op, argument);
}
int DbSectorSize(sqlite3_file* file) {
    return Lower(file)->pMethods->xSectorSize(Lower(file));
}
int DbDeviceCharacteristics(sqlite3_file* file) {
    return Lower(file)->pMethods->xDeviceCharacteristics(Lower(file));
}
int DbShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** memory) {
    return Lower(file)->pMethods->xShmMap(Lower(file), page, size, extend, memory);
}
int DbShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return Lower(file)->pMethods->xShmLock(Lower(file), offset, n, flags);
}
void DbShmBarrier(sqlite3_file* file) {
    Lower(file)->pMethods->xShmBarrier(Lower(file));
}
int DbShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Lower(file)->pMethods->xShmUnmap(Lower(file), deleteFlag);
}
int DbFetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** pointer) {
    return Lower(file)->pMethods->xFetch(Lower(file), offset, amount, pointer);
}
int DbUnfetch(sqlite3_file* file, sqlite3_int64 offset, void* pointer) {
    return Lower(file)->pMethods->xUnfetch(Lower(file), offset, pointer);
}

// Version 1 for a lower file without shared memory or memory mapping, else 3; the members past
// the lower file's version are never called.
sqlite3_io_methods DatabaseMethods(int version) {
    return {version,
            DbClose,
            DbRead,
            DbWrite,
            DbTruncate,
            DbSync,
            DbFileSize,
            Lock,
            Unlock,
            CheckReservedLock,
            DbFileControl,
            DbSectorSize,
            DbDeviceCharacteristics,
            DbShmMap,
            DbShmLock,
            DbShmBarrier,
            DbShmUnmap,
            DbFetch,
            DbUnfetch};
}
const sqlite3_io_methods kDatabaseMethods[] = {DatabaseMethods(1), DatabaseMethods(2),
                                               DatabaseMethods(3)};

// ---- The journal: a file in memory ----

struct JournalFile {
    sqlite3_file base;
    std::shared_ptr<std::string>* bytes; // owned: the map entry may be deleted while open
};

std::string& Bytes(sqlite3_file* file) {
    return **reinterpret_cast<JournalFile*>(file)->bytes;
}

int JournalClose(sqlite3_file* file) {
    delete reinterpret_cast<JournalFile*>(file)->bytes;
    return SQLITE_OK;
}
int JournalRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    const std::string& bytes = Bytes(file);
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    const sqlite3_int64 available = std::clamp<sqlite3_int64>(size - offset, 0, amount);
    if (available > 0) std::memcpy(buffer, bytes.data() + offset, static_cast<size_t>(available));
    if (available == amount) return SQLITE_OK;
    std::memset(static_cast<char*>(buffer) + available, 0, static_cast<size_t>(amount - available));
    return SQLITE_IOERR_SHORT_READ;
}
int JournalWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    std::string& bytes = Bytes(file);
    try {
        const auto end = static_cast<size_t>(offset) + static_cast<size_t>(amount);
        if (bytes.size() < end) bytes.resize(end);
    } catch (const std::bad_alloc&) {
        return SQLITE_IOERR_NOMEM;
    }
    std::memcpy(bytes.data() + offset, buffer, static_cast<size_t>(amount));
    return SQLITE_OK;
}
int JournalTruncate(sqlite3_file* file, sqlite3_int64 size) {
    std::string& bytes = Bytes(file);
    if (static_cast<sqlite3_int64>(bytes.size()) > size) bytes.resize(static_cast<size_t>(size));
    return SQLITE_OK;
}
int JournalSync(sqlite3_file*, int) {
    return SQLITE_OK;
}
int JournalFileSize(sqlite3_file* file, sqlite3_int64* size) {
    *size = static_cast<sqlite3_int64>(Bytes(file).size());
    return SQLITE_OK;
}
int JournalLock(sqlite3_file*, int) {
    return SQLITE_OK;
}
int JournalCheckReservedLock(sqlite3_file*, int* reserved) {
    *reserved = 0;
    return SQLITE_OK;
}
int JournalFileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}
int JournalSectorSize(sqlite3_file*) {
    return 4096;
}
int JournalDeviceCharacteristics(sqlite3_file*) {
    return 0;
}

const sqlite3_io_methods kJournalMethods = {1,
                                            JournalClose,
                                            JournalRead,
                                            JournalWrite,
                                            JournalTruncate,
                                            JournalSync,
                                            JournalFileSize,
                                            JournalLock,
                                            JournalLock,
                                            JournalCheckReservedLock,
                                            JournalFileControl,
                                            JournalSectorSize,
                                            JournalDeviceCharacteristics,
                                            nullptr,
                                            nullptr,
                                            nullptr,
                                            nullptr,
                                            nullptr,
                                            nullptr};

// ---- The file system layer ----

sqlite3_vfs* LowerVfs() {
    return State().lower;
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    Build& build = State();
    file->pMethods = nullptr;
    std::unique_lock lock(build.mutex);
    const bool isJournal = build.active && name != nullptr && build.journal == name &&
                           (flags & SQLITE_OPEN_MAIN_JOURNAL) != 0;
    const bool isDatabase = build.active && name != nullptr && build.database == name &&
                            (flags & SQLITE_OPEN_MAIN_DB) != 0;
    if (isJournal) {
        auto found = build.journals.find(name);
        if (found == build.journals.end()) {
            if ((flags & SQLITE_OPEN_CREATE) == 0) return SQLITE_CANTOPEN;
            found = build.journals.emplace(name, std::make_shared<std::string>()).first;
        }
        auto* journal = reinterpret_cast<JournalFile*>(file);
        journal->bytes = new (std::nothrow) std::shared_ptr<std::string>(found->second);
        if (journal->bytes == nullptr) return SQLITE_NOMEM;
        if (outFlags != nullptr) *outFlags = flags;
        file->pMethods = &kJournalMethods;
        return SQLITE_OK;
    }
    lock.unlock();
    sqlite3_vfs* lower = LowerVfs();
    if (!isDatabase) return lower->xOpen(lower, name, file, flags, outFlags);

    DatabaseFile* db = Db(file);
    sqlite3_file* lowerFile = db->Lower();
    lowerFile->pMethods = nullptr;
    const int rc = lower->xOpen(lower, name, lowerFile, flags, outFlags);
    if (rc != SQLITE_OK) {
        if (lowerFile->pMethods != nullptr) lowerFile->pMethods->xClose(lowerFile);
        return rc;
    }
    db->level = kNone;
    const int version = std::clamp(lowerFile->pMethods->iVersion, 1, 3);
    file->pMethods = &kDatabaseMethods[version - 1];
    lock.lock();
    ++build.openConnections;
    return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncDirectory) {
    {
        Build& build = State();
        std::lock_guard lock(build.mutex);
        if (build.journals.erase(name) > 0) return SQLITE_OK;
    }
    return LowerVfs()->xDelete(LowerVfs(), name, syncDirectory);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    {
        Build& build = State();
        std::lock_guard lock(build.mutex);
        if (build.journals.contains(name)) {
            *result = 1;
            return SQLITE_OK;
        }
        if (build.active && build.journal == name) {
            *result = 0;
            return SQLITE_OK;
        }
    }
    return LowerVfs()->xAccess(LowerVfs(), name, flags, result);
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return LowerVfs()->xFullPathname(LowerVfs(), name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return LowerVfs()->xDlOpen(LowerVfs(), name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
    LowerVfs()->xDlError(LowerVfs(), size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return LowerVfs()->xDlSym(LowerVfs(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    LowerVfs()->xDlClose(LowerVfs(), handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return LowerVfs()->xRandomness(LowerVfs(), size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return LowerVfs()->xSleep(LowerVfs(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* now) {
    return LowerVfs()->xCurrentTime(LowerVfs(), now);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
    return LowerVfs()->xGetLastError(LowerVfs(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    return LowerVfs()->xCurrentTimeInt64(LowerVfs(), now);
}

// Run for every connection the process opens: a connection to the build's file keeps its lock
// between transactions, so that it need not check the file for changes by others (there are
// none) before each one.
int KeepLockOnBuildFile(sqlite3* db, char**, const sqlite3_api_routines*) {
    const char* name = sqlite3_db_filename(db, "main");
    bool ours = false;
    {
        Build& build = State();
        std::lock_guard lock(build.mutex);
        ours = build.active && name != nullptr && build.database == name;
    }
    if (ours) return sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    return SQLITE_OK;
}

void (*AutoExtension())(void) {
    // SQLite takes every extension entry point as void (*)(void).
    return reinterpret_cast<void (*)(void)>(KeepLockOnBuildFile);
}

} // namespace

UnsyncedBuild::UnsyncedBuild(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        Fail(kErrFail, "Could not find file '" + path + "'.");
    Build& build = State();
    std::lock_guard lock(build.mutex);
    if (build.active) Fail(kErrFail, "Another database is being built.");
    if (build.lower == nullptr) {
        sqlite3_vfs* lower = sqlite3_vfs_find(nullptr);
        if (lower == nullptr) Fail(kErrFail, "SQLite has no file system layer.");
        build.lower = lower;
        sqlite3_vfs& vfs = build.vfs;
        // Version 2 at most: the lower layer's system-call overrides are not offered through
        // this one.
        vfs.iVersion = std::min(lower->iVersion, 2);
        vfs.szOsFile = std::max(static_cast<int>(sizeof(DatabaseFile)) + lower->szOsFile,
                                static_cast<int>(sizeof(JournalFile)));
        vfs.mxPathname = lower->mxPathname;
        vfs.zName = "velmora-unsynced-build";
        vfs.xOpen = Open;
        vfs.xDelete = Delete;
        vfs.xAccess = Access;
        vfs.xFullPathname = FullPathname;
        vfs.xDlOpen = DlOpen;
        vfs.xDlError = DlError;
        vfs.xDlSym = DlSym;
        vfs.xDlClose = DlClose;
        vfs.xRandomness = Randomness;
        vfs.xSleep = Sleep;
        vfs.xCurrentTime = CurrentTime;
        vfs.xGetLastError = GetLastError;
        vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    }
    const int rc = sqlite3_vfs_register(&build.vfs, 1);
    if (rc != SQLITE_OK)
        Fail(kErrFail, std::string("Cannot prepare the build: ") + sqlite3_errstr(rc));
    build.database = resolved;
    build.journal = build.database + "-journal";
    build.active = true;
    sqlite3_auto_extension(AutoExtension());
}

UnsyncedBuild::~UnsyncedBuild() {
    Build& build = State();
    sqlite3_cancel_auto_extension(AutoExtension());
    sqlite3_vfs_unregister(&build.vfs);
    std::lock_guard lock(build.mutex);
    build.active = false;
}

int UnsyncedBuild::OpenConnections() {
    Build& build = State();
    std::lock_guard lock(build.mutex);
    return build.openConnections;
}

} // namespace velmora::db
