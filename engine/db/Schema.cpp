#include "Schema.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/db/BugColumns.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/DataSource.h"
#include "engine/db/DataSourcePath.h"
#include "engine/db/Database.h"

namespace velmora::db {
namespace {

// Declared column types. The data layer reads Yes/No, byte and date columns back by these names.
#define COL_ID " INTEGER"
#define COL_KEY " INTEGER PRIMARY KEY"
#define COL_TEXT " TEXT COLLATE NOCASE"
#define COL_YESNO " YESNO INTEGER"
#define COL_BYTE " BYTE INTEGER"
#define COL_DATE " DATE REAL"
#define COL_BINARY " BLOB"

constexpr std::array kTables = {
    "CREATE TABLE tSystem (DBVersion" COL_TEXT ")",
    "CREATE TABLE tNextID (NextBugID" COL_ID ", NextAttachmentID" COL_ID ", NextProductID" COL_ID
    ", NextVersionID" COL_ID ", NextClassID" COL_ID ", NextRoleID" COL_ID ", NextRightID" COL_ID
    ", NextUserID" COL_ID ", NextSysInfoID" COL_ID ")",
    "CREATE TABLE tUser (UserID" COL_KEY ", LoginName" COL_TEXT ", UserName" COL_TEXT
    ", UserDescrp" COL_TEXT ", Email" COL_TEXT ", Position" COL_TEXT ", Department" COL_TEXT
    ", Address" COL_TEXT ", phone" COL_TEXT ", Password" COL_BINARY ", UserSystemInfoID" COL_ID ")",
    "CREATE TABLE tUserSystemInfo (UserSystemInfoID" COL_KEY ", UserID" COL_ID ", CPU" COL_TEXT
    ", \"IE Version\"" COL_TEXT ", Memory" COL_TEXT ", NetEnvironment" COL_TEXT ", OS" COL_TEXT
    ", OSBuild" COL_TEXT ", ServicePack" COL_TEXT ", HardDisk" COL_TEXT ", Note" COL_TEXT ")",
    "CREATE TABLE tProduct (ProductID" COL_KEY ", ProductName" COL_TEXT ", ProductDesp" COL_TEXT
    ")",
    "CREATE TABLE tVersion (VersionID" COL_KEY ", ProductID" COL_ID ", VersionName" COL_TEXT
    ", VersionDesrp" COL_TEXT ", ReleaseDate" COL_DATE ")",
    "CREATE TABLE tClassification (ClassificationID" COL_KEY ", ClassName" COL_TEXT
    ", ProductID" COL_ID ")",
    "CREATE TABLE tRole (RoleID" COL_KEY ", RoleName" COL_TEXT ", RoleDescription" COL_TEXT
    ", ProductID" COL_ID ")",
    "CREATE TABLE tUserRole (UserID" COL_ID ", RoleID" COL_ID ")",
    "CREATE TABLE tRight (RightID" COL_KEY ", RoleID" COL_ID ", \"Read\"" COL_YESNO
    ", \"Add\"" COL_YESNO ", \"Delete\"" COL_YESNO ", EditClass" COL_YESNO
    ", EditPriority" COL_YESNO ", EditSeverity" COL_YESNO ", EditReproductive" COL_YESNO
    ", EditReportedInVersion" COL_YESNO ", EditReportedDate" COL_YESNO ", EditFixedDate" COL_YESNO
    ", EditFixedInVersion" COL_YESNO ", EditVerifiedDate" COL_YESNO ", EditEstimatedTime" COL_YESNO
    ", EditDateDue" COL_YESNO ", EditDescription" COL_YESNO ", EditRecreateStep" COL_YESNO
    ", EditWorkAround" COL_YESNO ", EditReport" COL_YESNO ", EditResolution" COL_YESNO
    ", EditAttachment" COL_YESNO ", ReportGen" COL_YESNO ", Print" COL_YESNO
    ", ViewStatistic" COL_YESNO ", Add_Edit_Del_BugClass" COL_YESNO
    ", Add_Edit_Del_BugReproductive" COL_YESNO ", Add_Edit_Del_BugSeverity" COL_YESNO
    ", Add_Edit_Del_BugPriority" COL_YESNO ", Add_Edit_Del_BugStatus" COL_YESNO
    ", AssignProductToUser" COL_YESNO ", AssignClassToUser" COL_YESNO ", AddProduct" COL_YESNO
    ", EditProduct" COL_YESNO ", DeleteProduct" COL_YESNO ")",
    "CREATE TABLE tAvailableStatus (RoleID" COL_ID ", StatusName" COL_TEXT ")",
    "CREATE TABLE tStatus (StatusName" COL_TEXT ")",
    "CREATE TABLE tSeverity (SeverityName" COL_TEXT ")",
    "CREATE TABLE tPriority (PriorityName" COL_TEXT ")",
    "CREATE TABLE tReproductive (ReproductiveName" COL_TEXT ")",
    "CREATE TABLE tUserClassification (UserID" COL_ID ", ClassificationID" COL_ID ")",
};

// Created after tBugReport, whose statement comes from the bug column list.
constexpr const char* kAttachmentTable =
    "CREATE TABLE tAttachment (AttachmentID" COL_KEY ", BugID" COL_ID ", FileName" COL_TEXT
    ", FileSize" COL_ID ", FileDate" COL_DATE ", FileContent" COL_BINARY ")";

constexpr std::array kIndexes = {
    "CREATE INDEX ixBugVersionType ON tBugReport (ReportedInVersionID, BugType)",
    "CREATE INDEX ixAttachmentBug ON tAttachment (BugID)",
    "CREATE INDEX ixUserLogin ON tUser (LoginName)",
    "CREATE INDEX ixUserRoleUser ON tUserRole (UserID)",
    "CREATE INDEX ixUserRoleRole ON tUserRole (RoleID)",
    "CREATE INDEX ixUserClassUser ON tUserClassification (UserID)",
    "CREATE INDEX ixUserClassClass ON tUserClassification (ClassificationID)",
    "CREATE INDEX ixAvailableStatusRole ON tAvailableStatus (RoleID)",
    "CREATE INDEX ixRightRole ON tRight (RoleID)",
    "CREATE INDEX ixRoleProduct ON tRole (ProductID)",
    "CREATE INDEX ixVersionProduct ON tVersion (ProductID)",
    "CREATE INDEX ixClassificationProduct ON tClassification (ProductID)",
};

constexpr std::array kSeedRows = {
    "INSERT INTO tSystem (DBVersion) VALUES ('1.0')",
    // UserID 1 is taken by Admin, so users are numbered from 2.
    "INSERT INTO tNextID VALUES (1, 1, 1, 1, 1, 1, 1, 2, 1)",
    "INSERT INTO tUser (UserID, LoginName, UserName, Password, UserSystemInfoID) "
    "VALUES (1, 'Admin', 'Admin', NULL, 0)",
    "INSERT INTO tPriority VALUES ('Normal'), ('Low'), ('High'), ('Urgent')",
    "INSERT INTO tSeverity VALUES ('Normal'), ('Trivial'), ('Minor'), ('Major'), ('Critical')",
    "INSERT INTO tReproductive VALUES ('Sometimes'), ('Always'), ('Rarely'), "
    "('Unable to Reproduce')",
    "INSERT INTO tStatus VALUES ('New'), ('Active'), ('In Process'), ('Waiting'), ('Fixed'), "
    "('Verified'), ('Postponed'), ('By Design'), ('Cannot Reproduce'), ('Will Not Fix')",
};

const char* DeclaredType(BugColumnType type) {
    switch (type) {
    case BugColumnType::Key:
        return COL_KEY;
    case BugColumnType::Integer:
        return COL_ID;
    case BugColumnType::Byte:
        return COL_BYTE;
    case BugColumnType::Date:
        return COL_DATE;
    case BugColumnType::Text:
    case BugColumnType::EditedText:
        return COL_TEXT;
    }
    return COL_TEXT;
}

std::string BugReportTable() {
    std::string sql = "CREATE TABLE tBugReport (";
    for (const BugColumnInfo& column : kBugColumns) {
        if (&column != &kBugColumns.front()) sql += ", ";
        sql += column.name;
        sql += DeclaredType(column.type);
    }
    return sql + ")";
}

// Every statement that makes a new database, in order: tables, indexes, then the seed rows when
// asked for.
std::vector<std::string> SeedStatements(bool seedRows = true) {
    std::vector<std::string> statements(kTables.begin(), kTables.end());
    statements.push_back(BugReportTable());
    statements.push_back(kAttachmentTable);
    statements.insert(statements.end(), kIndexes.begin(), kIndexes.end());
    if (seedRows) statements.insert(statements.end(), kSeedRows.begin(), kSeedRows.end());
    return statements;
}

// The table a CREATE TABLE statement makes.
std::string CreatedTable(const std::string& statement) {
    constexpr std::string_view kCreate = "CREATE TABLE ";
    const size_t begin = kCreate.size();
    return statement.substr(begin, statement.find(' ', begin) - begin);
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

std::string Run(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return {};
    std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return text;
}

std::string Populate(const std::string& path) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, CloseDatabase> db(raw);
    if (rc != SQLITE_OK) return raw ? sqlite3_errmsg(raw) : "out of memory";

    if (auto error = Run(db.get(), "PRAGMA journal_mode=DELETE"); !error.empty()) return error;
    if (auto error = Run(db.get(), "BEGIN"); !error.empty()) return error;
    for (const std::string& statement : SeedStatements())
        if (auto error = Run(db.get(), statement.c_str()); !error.empty()) return error;
    return Run(db.get(), "COMMIT");
}

// The same statement for a server database: the column kinds as its types and domains, names
// quoted by the connection as it runs the statement, and a hidden key for a table without one.
std::string ServerStatement(std::string statement) {
    static const std::pair<const char*, const char*> kTypes[] = {{COL_KEY, " integer PRIMARY KEY"},
                                                                 {COL_TEXT, " citext"},
                                                                 {COL_YESNO, " yesno"},
                                                                 {COL_BYTE, " byte"},
                                                                 {COL_DATE, " oledate"},
                                                                 {COL_BINARY, " bytea"},
                                                                 {COL_ID, " integer"}};
    for (const auto& [file, server] : kTypes) {
        for (size_t at = statement.find(file); at != std::string::npos;
             at = statement.find(file, at + std::strlen(server))) {
            statement.replace(at, std::strlen(file), server);
        }
    }
    if (statement.starts_with("CREATE TABLE ") &&
        statement.find("PRIMARY KEY") == std::string::npos)
        statement.insert(statement.size() - 1,
                         ", velmora_rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE");
    return statement;
}

// What a server database needs before its tables: case-insensitive text and the column kinds
// the row mapping recognises.
constexpr std::array kServerPrelude = {
    "CREATE EXTENSION IF NOT EXISTS citext",
    "CREATE DOMAIN yesno AS integer",
    "CREATE DOMAIN byte AS smallint",
    "CREATE DOMAIN oledate AS double precision",
};

// After the tables: attachments stored without compression, so that a piece of one is read
// without reading the whole file; indexes on what the lists sort and filter by.
constexpr std::array kServerEpilogue = {
    "ALTER TABLE tAttachment ALTER COLUMN FileContent SET STORAGE EXTERNAL",
    // The list's key query (a version's bugs in key order) reads this index alone.
    "CREATE INDEX ixBugVersionTypeKey ON tBugReport (ReportedInVersionID, BugType, BugID)",
    "CREATE INDEX ixBugStatus ON tBugReport (StatusName)",
    "CREATE INDEX ixBugPriority ON tBugReport (PriorityName)",
    "CREATE INDEX ixBugSeverity ON tBugReport (SeverityName)",
    "CREATE INDEX ixBugReportedDate ON tBugReport (ReportedDate)",
    "CREATE INDEX ixBugLastModified ON tBugReport (LastModifiedDate)",
};

} // namespace

const std::vector<std::string>& SchemaColumnNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const std::string& statement : SeedStatements(false)) {
            if (!statement.starts_with("CREATE TABLE ")) continue;
            // Each column definition starts after "(" or ", " and its name ends at the first
            // blank outside quotes.
            size_t at = statement.find('(');
            while (at != std::string::npos) {
                size_t begin = at + 1;
                while (begin < statement.size() && statement[begin] == ' ')
                    ++begin;
                size_t end = begin;
                if (statement[begin] == '"') {
                    end = statement.find('"', begin + 1) + 1;
                    result.push_back(statement.substr(begin + 1, end - begin - 2));
                } else {
                    end = statement.find(' ', begin);
                    result.push_back(statement.substr(begin, end - begin));
                }
                at = statement.find(',', end);
            }
        }
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
        return result;
    }();
    return names;
}

const std::vector<std::string>& TableNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> result;
        for (const std::string& statement : SeedStatements(false))
            if (statement.starts_with("CREATE TABLE ")) result.push_back(CreatedTable(statement));
        return result;
    }();
    return names;
}

void CreateSchema(Connection& connection, bool seedRows) {
    if (!IsServerDataSource(DataSourcePath(connection.ConnectionString()))) {
        for (const std::string& statement : SeedStatements(seedRows))
            connection.Execute(statement);
        return;
    }
    for (const char* statement : kServerPrelude)
        connection.Execute(statement);
    const std::vector<std::string> statements = SeedStatements(seedRows);
    const auto firstSeed =
        statements.end() - (seedRows ? static_cast<ptrdiff_t>(kSeedRows.size()) : 0);
    for (auto it = statements.begin(); it != firstSeed; ++it)
        connection.Execute(ServerStatement(*it));
    for (const char* statement : kServerEpilogue)
        connection.Execute(statement);
    for (auto it = firstSeed; it != statements.end(); ++it)
        connection.Execute(ServerStatement(*it));
}

bool HasTables(Connection& connection) {
    const bool server = IsServerDataSource(DataSourcePath(connection.ConnectionString()));
    Recordset tables;
    tables.Open(server ? "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = "
                         "current_schema()"
                       : "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'",
                connection, CursorType::ForwardOnly, LockType::ReadOnly);
    return tables.GetValue(0).asInt() > 0;
}

namespace {

std::string CreateSeedServerDatabase(const std::string& uri) {
    try {
        Connection connection;
        connection.Open(MakeConnectionString(uri));
        if (HasTables(connection)) {
            return "'" + MaskedDataSource(uri) + "' already holds tables; it is not written into";
        }
        Transaction transaction(connection);
        CreateSchema(connection, true);
        transaction.Commit();
        return {};
    } catch (const DbError& error) {
        return "cannot create the database '" + MaskedDataSource(uri) + "': " + error.Description();
    }
}

} // namespace

std::string CreateSeedDatabase(const std::string& path) {
    if (path.empty()) return "no database file name given";
    if (IsServerDataSource(path)) return CreateSeedServerDatabase(path);
    // O_EXCL claims the name atomically, so an existing file is never touched.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) return "'" + path + "' already exists; it is not overwritten";
        return "cannot create '" + path + "': " + std::strerror(errno);
    }
    ::close(fd);
    std::string error = Populate(path);
    if (!error.empty()) {
        ::unlink(path.c_str());
        return "cannot create the database '" + path + "': " + error;
    }
    return {};
}

} // namespace velmora::db
