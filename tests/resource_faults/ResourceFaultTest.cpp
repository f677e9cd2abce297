// What the engine does when its resources fail under it: a database file it may only read, a
// disk that fills up, a file deleted or replaced while open, a missing or exhausted identifier
// counter. Each operation fails with its message and log entry, and the file stays sound with
// everything it held before.
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/bugs/Bug.h"
#include "tests/resource_faults/ChildProcess.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {
namespace {

class ResourceFaultTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        Execute("INSERT INTO tProduct VALUES (900, 'Kiln', ''); "
                "INSERT INTO tVersion VALUES (900, 900, '1.0', '', 0); "
                "INSERT INTO tRole VALUES (900, 'Manager', '', 900); "
                "INSERT INTO tBugReport (BugID, BugType, ReportedInVersionID, Description) "
                "VALUES (500, 0, 900, 'kept')");
        GrantEveryRight(900);
        // The session is only ever opened in the children.
        session_.Reset();
    }

    // In the child: a session on the test database with the manager role, its bug list open.
    struct Working {
        ComPtr<engine::CExeContext> session;
        ComPtr<IBugSet> bugs;
    };
    Working OpenWorking(ChildChecks& checks) {
        Working working;
        working.session = engine::CreateObject<engine::CExeContext>();
        checks.Check(working.session->OpenAccessDB(Bstr(database_).Get()) == S_OK,
                     "open: " + ErrorDescription());
        checks.Check(working.session->Login(Bstr("Admin").Get(), Bstr("").Get()) == S_OK,
                     "login: " + ErrorDescription());
        checks.Check(working.session->SetActiveProduct(900) == S_OK,
                     "active product: " + ErrorDescription());
        checks.Check(working.session->OpenBugSet(nullptr, working.bugs.Put()) == S_OK,
                     "open bugs: " + ErrorDescription());
        return working;
    }
    static HRESULT AddBug(IBugSet* bugs, const std::string& description) {
        if (!bugs) return E_POINTER;
        auto bug = engine::CreateObject<engine::CBug>();
        bug->put_ReportedInVersionID(900);
        bug->put_Description(Bstr(description).Get());
        ComPtr<IBug> added;
        return bugs->Add(bug.Get(), added.Put());
    }
    // The checks every fault ends with: the file is sound and holds what it held.
    void ExpectUnharmed(int bugs = 1) {
        EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
        EXPECT_EQ(Count("tBugReport"), bugs);
        EXPECT_EQ(Query("SELECT Description FROM tBugReport WHERE BugID = 500"), "kept");
    }
};

TEST_F(ResourceFaultTest, ADatabaseFileThatMayOnlyBeReadRefusesChangesWithAMessage) {
    // Root may write any file, so the child gives up root before it opens the database.
    std::filesystem::permissions(dir_, std::filesystem::perms::all);
    chmod(database_.c_str(), 0444);
    const std::string report = RunInChild([&] {
        ChildChecks checks;
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
                return std::string("could not give up root");
        }
        Working working = OpenWorking(checks);
        LONG count = 0;
        checks.Check(working.bugs && working.bugs->get_Count(&count) == S_OK && count == 1,
                     "the bugs can still be read");
        checks.Check(AddBug(working.bugs.Get(), "not stored") == E_FAIL, "adding fails");
        checks.Check(ErrorDescription() == "Add bug failed", "the failure has its message");
        return checks.Report();
    });
    EXPECT_EQ(report, "");
    chmod(database_.c_str(), 0644);
    // The log says why.
    EXPECT_NE(ErrLog().find("[ErrCode]: 9\r\n[Source]: GetNextID\r\n[Description]: "
                            "attempt to write a readonly database"),
              std::string::npos)
        << ErrLog();
    ExpectUnharmed();
}

TEST_F(ResourceFaultTest, AFullDiskFailsTheChangeAndLosesNothing) {
    const std::string report = RunInChild([&] {
        ChildChecks checks;
        Working working = OpenWorking(checks);
        checks.Check(AddBug(working.bugs.Get(), "fits") == S_OK, "a small bug fits");
        // Files may grow no further than a little past the database's present size; a write
        // beyond it fails as on a full disk.
        signal(SIGXFSZ, SIG_IGN);
        const auto size = std::filesystem::file_size(database_);
        const rlimit limit{static_cast<rlim_t>(size + 4096), static_cast<rlim_t>(size + 4096)};
        setrlimit(RLIMIT_FSIZE, &limit);
        checks.Check(AddBug(working.bugs.Get(), std::string(1 << 20, 'x')) == E_FAIL,
                     "a megabyte does not fit");
        checks.Check(ErrorDescription() != "<none>", "the failure has a description");
        LONG count = 0;
        checks.Check(working.bugs->get_Count(&count) == S_OK && count == 2,
                     "the list still counts two bugs");
        return checks.Report();
    });
    EXPECT_EQ(report, "");
    EXPECT_NE(ErrLog().find("CBugSet::"), std::string::npos) << ErrLog();
    ExpectUnharmed(2);
    EXPECT_EQ(Count("tBugReport", "Description LIKE 'xxx%'"), 0);
}

TEST_F(ResourceFaultTest, ADatabaseDeletedOrReplacedWhileOpenTakesNoChanges) {
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replaced" : "deleted");
        const std::string backup = database_ + ".backup";
        std::filesystem::copy_file(database_, backup,
                                   std::filesystem::copy_options::overwrite_existing);
        const std::string report = RunInChild([&] {
            ChildChecks checks;
            Working working = OpenWorking(checks);
            std::filesystem::remove(database_);
            if (replace) std::filesystem::copy_file(backup, database_);
            // A change that reported success would be lost with the old file.
            checks.Check(AddBug(working.bugs.Get(), "would be lost") == E_FAIL,
                         "adding to a vanished file fails");
            checks.Check(ErrorDescription() != "<none>", "the failure has a description");
            return checks.Report();
        });
        EXPECT_EQ(report, "");
        if (!replace) std::filesystem::copy_file(backup, database_);
        ExpectUnharmed();
        std::filesystem::remove(backup);
    }
}

TEST_F(ResourceFaultTest, AMissingOrExhaustedCounterRefusesNewRows) {
    for (const char* counter : {"DELETE FROM tNextID", "UPDATE tNextID SET NextBugID = 2147483647",
                                "UPDATE tNextID SET NextBugID = -7"}) {
        SCOPED_TRACE(counter);
        const std::string saved = Query("SELECT NextBugID FROM tNextID");
        Execute(counter);
        const std::string report = RunInChild([&] {
            ChildChecks checks;
            Working working = OpenWorking(checks);
            checks.Check(AddBug(working.bugs.Get(), "no identifier") == E_FAIL, "adding fails");
            checks.Check(ErrorDescription() != "<none>", "the failure has a description");
            return checks.Report();
        });
        EXPECT_EQ(report, "");
        EXPECT_NE(ErrLog().find("[ErrCode]: 9\r\n[Source]: GetNextID"), std::string::npos);
        ExpectUnharmed();
        Execute("DELETE FROM tNextID");
        Execute("INSERT INTO tNextID (NextBugID) VALUES (" + saved + ")");
    }
}

} // namespace
} // namespace velmora::test
