// The layout of a new database: every table, column, declared type and index, in creation order.
// Stored files and peers depend on this text, so it must not drift.
#include <sqlite3.h>

#include <string>

#include <gtest/gtest.h>

#include "DbTestSupport.h"
#include "engine/db/Schema.h"

namespace velmora::db::test {
namespace {

// One line per schema object: its name, a colon and the statement that created it.
constexpr const char* kSeedSchema = R"(tSystem: CREATE TABLE tSystem (DBVersion TEXT COLLATE NOCASE)
tNextID: CREATE TABLE tNextID (NextBugID INTEGER, NextAttachmentID INTEGER, NextProductID INTEGER, NextVersionID INTEGER, NextClassID INTEGER, NextRoleID INTEGER, NextRightID INTEGER, NextUserID INTEGER, NextSysInfoID INTEGER)
tUser: CREATE TABLE tUser (UserID INTEGER PRIMARY KEY, LoginName TEXT COLLATE NOCASE, UserName TEXT COLLATE NOCASE, UserDescrp TEXT COLLATE NOCASE, Email TEXT COLLATE NOCASE, Position TEXT COLLATE NOCASE, Department TEXT COLLATE NOCASE, Address TEXT COLLATE NOCASE, phone TEXT COLLATE NOCASE, Password BLOB, UserSystemInfoID INTEGER)
tUserSystemInfo: CREATE TABLE tUserSystemInfo (UserSystemInfoID INTEGER PRIMARY KEY, UserID INTEGER, CPU TEXT COLLATE NOCASE, "IE Version" TEXT COLLATE NOCASE, Memory TEXT COLLATE NOCASE, NetEnvironment TEXT COLLATE NOCASE, OS TEXT COLLATE NOCASE, OSBuild TEXT COLLATE NOCASE, ServicePack TEXT COLLATE NOCASE, HardDisk TEXT COLLATE NOCASE, Note TEXT COLLATE NOCASE)
tProduct: CREATE TABLE tProduct (ProductID INTEGER PRIMARY KEY, ProductName TEXT COLLATE NOCASE, ProductDesp TEXT COLLATE NOCASE)
tVersion: CREATE TABLE tVersion (VersionID INTEGER PRIMARY KEY, ProductID INTEGER, VersionName TEXT COLLATE NOCASE, VersionDesrp TEXT COLLATE NOCASE, ReleaseDate DATE REAL)
tClassification: CREATE TABLE tClassification (ClassificationID INTEGER PRIMARY KEY, ClassName TEXT COLLATE NOCASE, ProductID INTEGER)
tRole: CREATE TABLE tRole (RoleID INTEGER PRIMARY KEY, RoleName TEXT COLLATE NOCASE, RoleDescription TEXT COLLATE NOCASE, ProductID INTEGER)
tUserRole: CREATE TABLE tUserRole (UserID INTEGER, RoleID INTEGER)
tRight: CREATE TABLE tRight (RightID INTEGER PRIMARY KEY, RoleID INTEGER, "Read" YESNO INTEGER, "Add" YESNO INTEGER, "Delete" YESNO INTEGER, EditClass YESNO INTEGER, EditPriority YESNO INTEGER, EditSeverity YESNO INTEGER, EditReproductive YESNO INTEGER, EditReportedInVersion YESNO INTEGER, EditReportedDate YESNO INTEGER, EditFixedDate YESNO INTEGER, EditFixedInVersion YESNO INTEGER, EditVerifiedDate YESNO INTEGER, EditEstimatedTime YESNO INTEGER, EditDateDue YESNO INTEGER, EditDescription YESNO INTEGER, EditRecreateStep YESNO INTEGER, EditWorkAround YESNO INTEGER, EditReport YESNO INTEGER, EditResolution YESNO INTEGER, EditAttachment YESNO INTEGER, ReportGen YESNO INTEGER, Print YESNO INTEGER, ViewStatistic YESNO INTEGER, Add_Edit_Del_BugClass YESNO INTEGER, Add_Edit_Del_BugReproductive YESNO INTEGER, Add_Edit_Del_BugSeverity YESNO INTEGER, Add_Edit_Del_BugPriority YESNO INTEGER, Add_Edit_Del_BugStatus YESNO INTEGER, AssignProductToUser YESNO INTEGER, AssignClassToUser YESNO INTEGER, AddProduct YESNO INTEGER, EditProduct YESNO INTEGER, DeleteProduct YESNO INTEGER)
tAvailableStatus: CREATE TABLE tAvailableStatus (RoleID INTEGER, StatusName TEXT COLLATE NOCASE)
tStatus: CREATE TABLE tStatus (StatusName TEXT COLLATE NOCASE)
tSeverity: CREATE TABLE tSeverity (SeverityName TEXT COLLATE NOCASE)
tPriority: CREATE TABLE tPriority (PriorityName TEXT COLLATE NOCASE)
tReproductive: CREATE TABLE tReproductive (ReproductiveName TEXT COLLATE NOCASE)
tUserClassification: CREATE TABLE tUserClassification (UserID INTEGER, ClassificationID INTEGER)
tBugReport: CREATE TABLE tBugReport (BugID INTEGER PRIMARY KEY, BugType BYTE INTEGER, Description TEXT COLLATE NOCASE, Report TEXT COLLATE NOCASE, RecreateStep TEXT COLLATE NOCASE, WorkAround TEXT COLLATE NOCASE, Resolution TEXT COLLATE NOCASE, StatusName TEXT COLLATE NOCASE, PriorityName TEXT COLLATE NOCASE, SeverityName TEXT COLLATE NOCASE, ReproductiveName TEXT COLLATE NOCASE, ClassID INTEGER, Classification TEXT COLLATE NOCASE, ReportedByID INTEGER, ReportedBy TEXT COLLATE NOCASE, ReportedDate DATE REAL, ReportedInVersionID INTEGER, ReportedInVersion TEXT COLLATE NOCASE, FixedByID INTEGER, FixedBy TEXT COLLATE NOCASE, FixedDate DATE REAL, FixedInVersionID INTEGER, FixedInVersion TEXT COLLATE NOCASE, VerifiedByID INTEGER, VerifiedBy TEXT COLLATE NOCASE, VerifiedDate DATE REAL, LastModifiedByID INTEGER, LastModifiedBy TEXT COLLATE NOCASE, LastModifiedDate DATE REAL, EstimatedTime DATE REAL, ActualTime DATE REAL, DateDue DATE REAL)
tAttachment: CREATE TABLE tAttachment (AttachmentID INTEGER PRIMARY KEY, BugID INTEGER, FileName TEXT COLLATE NOCASE, FileSize INTEGER, FileDate DATE REAL, FileContent BLOB)
ixBugVersionType: CREATE INDEX ixBugVersionType ON tBugReport (ReportedInVersionID, BugType)
ixAttachmentBug: CREATE INDEX ixAttachmentBug ON tAttachment (BugID)
ixUserLogin: CREATE INDEX ixUserLogin ON tUser (LoginName)
ixUserRoleUser: CREATE INDEX ixUserRoleUser ON tUserRole (UserID)
ixUserRoleRole: CREATE INDEX ixUserRoleRole ON tUserRole (RoleID)
ixUserClassUser: CREATE INDEX ixUserClassUser ON tUserClassification (UserID)
ixUserClassClass: CREATE INDEX ixUserClassClass ON tUserClassification (ClassificationID)
ixAvailableStatusRole: CREATE INDEX ixAvailableStatusRole ON tAvailableStatus (RoleID)
ixRightRole: CREATE INDEX ixRightRole ON tRight (RoleID)
ixRoleProduct: CREATE INDEX ixRoleProduct ON tRole (ProductID)
ixVersionProduct: CREATE INDEX ixVersionProduct ON tVersion (ProductID)
ixClassificationProduct: CREATE INDEX ixClassificationProduct ON tClassification (ProductID))";

// The schema objects of the database at path, one line each, in creation order.
std::string SchemaOf(RawDb& raw) {
    std::string text;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(SQLITE_OK,
              sqlite3_prepare_v2(raw.get(), "SELECT name, sql FROM sqlite_master ORDER BY rowid",
                                 -1, &statement, nullptr));
    while (sqlite3_step(statement) == SQLITE_ROW) {
        if (!text.empty()) text += '\n';
        text += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        text += ": ";
        const auto* sql = sqlite3_column_text(statement, 1);
        text += sql ? reinterpret_cast<const char*>(sql) : "NULL";
    }
    sqlite3_finalize(statement);
    return text;
}

TEST(SeedSchema, CreatesExactlyTheKnownLayout) {
    TempDir dir;
    const std::string path = (dir.Path() / "seed.mdb").string();
    ASSERT_EQ(CreateSeedDatabase(path), "");
    RawDb raw(path);
    EXPECT_EQ(SchemaOf(raw), kSeedSchema);
}

} // namespace
} // namespace velmora::db::test
