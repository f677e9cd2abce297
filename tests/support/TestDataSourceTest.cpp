// Test databases of both kinds: made fresh, changed and read directly, and (on a server) dropped
// again. The server cases need VELMORA_TEST_SERVER (scripts/with-postgres.sh) and skip without it.
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "TestDataSource.h"
#include "engine/db/Schema.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Sets (or, with nullopt, removes) an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "velmora-support-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

// What every kind must do alike, on a database made with the table t(id, name, data).
void ExpectChangesAndReads(const std::string& source) {
    ASSERT_EQ(TestDataSource::Execute(source, "INSERT INTO t VALUES (1, 'semi;colon', NULL); "
                                              "INSERT INTO t VALUES (2, 'it''s', NULL)"),
              "");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT COUNT(*) FROM t"), "2");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT name FROM t WHERE id = 1"), "semi;colon");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT data FROM t WHERE id = 1"), "NULL");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT name FROM t WHERE id = 3"), "");
    EXPECT_THROW(TestDataSource::QueryText(source, "SELECT nothing FROM t"), std::runtime_error);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(TestDataSource::QueryRows(source, "SELECT id, name, data FROM t ORDER BY id"),
              (Rows{{"1", "semi;colon", "NULL"}, {"2", "it's", "NULL"}}));
    EXPECT_EQ(TestDataSource::QueryRows(source, "SELECT id FROM t WHERE id > 2"), Rows{});
    EXPECT_THROW(TestDataSource::QueryRows(source, "SELECT nothing FROM t"), std::runtime_error);

    // A failing statement names itself; those before it stay done.
    const std::string error = TestDataSource::Execute(
        source, "UPDATE t SET name = 'first' WHERE id = 1; UPDATE nowhere SET x = 1; "
                "UPDATE t SET name = 'third' WHERE id = 2");
    EXPECT_NE(error.find("UPDATE nowhere SET x = 1"), std::string::npos) << error;
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT name FROM t WHERE id = 1"), "first");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT name FROM t WHERE id = 2"), "it's");

    // Bytes travel unchanged both ways, a NUL and high bytes included.
    const std::string bytes("\x00\x01zip\xff\x80;'", 9);
    TestDataSource::QueryBytes(source, "UPDATE t SET data = ?1 WHERE id = 2", &bytes);
    EXPECT_EQ(TestDataSource::QueryBytes(source, "SELECT data FROM t WHERE id = 2"), bytes);
    EXPECT_EQ(TestDataSource::QueryBytes(source, "SELECT data FROM t WHERE id = 1"), "");
    EXPECT_EQ(TestDataSource::QueryBytes(source, "SELECT COUNT(*) FROM t"), "2");

    // A refusal holds while its condition does, and goes away again.
    ASSERT_EQ(TestDataSource::RefuseWrites(source, "refuse_t", "t", "UPDATE", "NEW.id = 1",
                                           "write refused"),
              "");
    EXPECT_NE(TestDataSource::Execute(source, "UPDATE t SET name = 'x' WHERE id = 1")
                  .find("write refused"),
              std::string::npos);
    EXPECT_EQ(TestDataSource::Execute(source, "UPDATE t SET name = 'y' WHERE id = 2"), "");
    ASSERT_EQ(TestDataSource::DropTrigger(source, "refuse_t", "t"), "");
    EXPECT_EQ(TestDataSource::Execute(source, "UPDATE t SET name = 'x' WHERE id = 1"), "");

    // A trigger doing work of its own, the way another client's change lands in the middle.
    ASSERT_EQ(TestDataSource::CreateTrigger(source, "mirror_t", "AFTER", "UPDATE OF name", "t",
                                            "NEW.id = 1",
                                            "DELETE FROM t WHERE id = 2; INSERT INTO t (id, name) "
                                            "VALUES (3, 'mirror')"),
              "");
    EXPECT_EQ(TestDataSource::Execute(source, "UPDATE t SET name = 'z' WHERE id = 1"), "");
    EXPECT_EQ(TestDataSource::QueryRows(source, "SELECT id, name FROM t ORDER BY id"),
              (Rows{{"1", "z"}, {"3", "mirror"}}));
    ASSERT_EQ(TestDataSource::DropTrigger(source, "mirror_t", "t"), "");
    EXPECT_EQ(TestDataSource::Execute(source, "UPDATE t SET name = 'w' WHERE id = 1"), "");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT COUNT(*) FROM t"), "2");
}

TEST(TestDataSourceKind, OnlyPostgresqlAsksForAServer) {
    {
        ScopedEnv backend("VELMORA_TEST_BACKEND", std::nullopt);
        EXPECT_FALSE(TestDataSource::UsesServer());
    }
    {
        ScopedEnv backend("VELMORA_TEST_BACKEND", "sqlite");
        EXPECT_FALSE(TestDataSource::UsesServer());
    }
    ScopedEnv backend("VELMORA_TEST_BACKEND", "postgresql");
    EXPECT_TRUE(TestDataSource::UsesServer());
}

TEST(TestDataSourceUri, WithDatabaseReplacesOnlyTheDatabase) {
    EXPECT_EQ(TestDataSource::WithDatabase("postgresql://u@/postgres?host=/tmp/x&port=5432", "d1"),
              "postgresql://u@/d1?host=/tmp/x&port=5432");
    EXPECT_EQ(TestDataSource::WithDatabase("postgres://u:p@db.example:5433", "d2"),
              "postgres://u:p@db.example:5433/d2");
    EXPECT_EQ(TestDataSource::WithDatabase("postgresql://h/old", "d3"), "postgresql://h/d3");
    EXPECT_EQ(TestDataSource::WithDatabase("postgresql://h?sslmode=disable", "d4"),
              "postgresql://h/d4?sslmode=disable");
    EXPECT_THROW(TestDataSource::WithDatabase("/var/team.mdb", "d"), std::invalid_argument);
}

TEST(TestDataSourceFile, IsAPathInTheDirectoryThatTheEngineCreates) {
    ScopedEnv backend("VELMORA_TEST_BACKEND", std::nullopt);
    TempDir dir;
    TestDataSource databases;
    const std::string source = databases.Create(dir.Path(), "team.mdb");
    EXPECT_EQ(source, (dir.Path() / "team.mdb").string());
    EXPECT_FALSE(fs::exists(source));
    ASSERT_EQ(db::CreateSeedDatabase(source), "");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT LoginName FROM tUser"), "Admin");
}

TEST(TestDataSourceFile, ChangesAndReadsAsAnotherClient) {
    TempDir dir;
    const std::string source = (dir.Path() / "t.db").string();
    ASSERT_EQ(db::CreateSeedDatabase(source), "");
    ASSERT_EQ(TestDataSource::Execute(source, "CREATE TABLE t (id INTEGER, name TEXT, data BLOB)"),
              "");
    ExpectChangesAndReads(source);
}

TEST(TestDataSourceFile, AMissingFileIsAnErrorAndStaysMissing) {
    TempDir dir;
    const std::string missing = (dir.Path() / "nowhere.mdb").string();
    EXPECT_NE(TestDataSource::Execute(missing, "CREATE TABLE t (a)"), "");
    EXPECT_THROW(TestDataSource::QueryText(missing, "SELECT 1"), std::runtime_error);
    EXPECT_FALSE(fs::exists(missing));
}

class TestDataSourceServer : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* server = getenv("VELMORA_TEST_SERVER");
        if (!server || !*server) GTEST_SKIP() << "no server (run through scripts/with-postgres.sh)";
        server_ = server;
    }
    // Whether the server holds a database of that name.
    bool Exists(const std::string& database) {
        return TestDataSource::QueryText(server_, "SELECT COUNT(*) FROM pg_database WHERE "
                                                  "datname = '" +
                                                      database + "'") == "1";
    }
    std::string server_;
};

TEST_F(TestDataSourceServer, EachCreateIsANewDatabaseWithCitextDroppedAtTheEnd) {
    ScopedEnv backend("VELMORA_TEST_BACKEND", "postgresql");
    std::string first, second, firstName;
    {
        TempDir dir;
        TestDataSource databases;
        first = databases.Create(dir.Path(), "team.mdb");
        second = databases.Create(dir.Path(), "team.mdb");
        EXPECT_NE(first, second);
        EXPECT_EQ(first.rfind("postgresql://", 0), 0u) << first;
        firstName = TestDataSource::QueryText(first, "SELECT current_database()");
        EXPECT_EQ(firstName.rfind("velmora_t_", 0), 0u) << firstName;
        EXPECT_TRUE(Exists(firstName));
        EXPECT_EQ(TestDataSource::QueryText(first, "SELECT COUNT(*) FROM pg_tables WHERE "
                                                   "schemaname = 'public'"),
                  "0");
        EXPECT_EQ(TestDataSource::QueryText(second, "SELECT 'ÉTÉ'::citext = 'été'"), "t");
    }
    EXPECT_FALSE(Exists(firstName));
}

TEST_F(TestDataSourceServer, ChangesAndReadsAsAnotherClient) {
    ScopedEnv backend("VELMORA_TEST_BACKEND", "postgresql");
    TempDir dir;
    TestDataSource databases;
    const std::string source = databases.Create(dir.Path(), "t");
    ASSERT_EQ(TestDataSource::Execute(source, "CREATE TABLE t (id integer, name text, data bytea)"),
              "");
    ExpectChangesAndReads(source);
    // A body with semicolons of its own is one statement.
    EXPECT_EQ(TestDataSource::Execute(source, "DO $$ BEGIN UPDATE t SET id = 7 WHERE id = 1; "
                                              "END $$; UPDATE t SET id = 8 WHERE id = 3"),
              "");
    EXPECT_EQ(TestDataSource::QueryText(source, "SELECT string_agg(id::text, ',' ORDER BY id) "
                                                "FROM t"),
              "7,8");
}

TEST(TestDataSourceKind, AServerRunWithoutAServerSaysWhatIsMissing) {
    ScopedEnv backend("VELMORA_TEST_BACKEND", "postgresql");
    ScopedEnv server("VELMORA_TEST_SERVER", std::nullopt);
    TestDataSource databases;
    try {
        databases.Create(fs::temp_directory_path(), "t");
        ADD_FAILURE() << "a database without a server";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("VELMORA_TEST_SERVER"), std::string::npos);
    }
}

} // namespace
} // namespace velmora::test
