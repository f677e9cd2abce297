#pragma once
// Fresh databases for tests, of the kind the run asks for, and a way to change and read them
// "behind the engine's back, as another client would".
//
// VELMORA_TEST_BACKEND=postgresql makes every test database a database on the server that
// VELMORA_TEST_SERVER names (a maintenance URI such as
// "postgresql://velmora_test@/postgres?host=/tmp/x&port=5432", exported by
// scripts/with-postgres.sh); anything else makes it a file in the test's directory.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

class TestDataSource {
  public:
    TestDataSource() = default;
    // Drops every server database this object made (files stay the caller's), unless this is a
    // forked copy of the process that made them.
    ~TestDataSource();
    TestDataSource(const TestDataSource&) = delete;
    TestDataSource& operator=(const TestDataSource&) = delete;

    // Whether this run's test databases live on a server.
    static bool UsesServer();

    // A new, empty data source: the path directory/name (no file is made: the engine creates
    // it), or the URI of a new, empty server database. Throws std::runtime_error.
    std::string Create(const std::filesystem::path& directory, const std::string& name);

    // Runs one or more statements separated by ';' on the data source, one at a time, through a
    // connection of its own. Returns "" on success, else the database's message and the
    // statement that failed; the statements before it stay done.
    static std::string Execute(const std::string& dataSource, const std::string& sql);

    // The first column of the first row of a query as text: "NULL" for a NULL, "" for no row.
    // Throws std::runtime_error when the query fails.
    static std::string QueryText(const std::string& dataSource, const std::string& sql);

    // Every row of a query, each column as text ("NULL" for a NULL). Throws std::runtime_error.
    static std::vector<std::vector<std::string>> QueryRows(const std::string& dataSource,
                                                           const std::string& sql);

    // The first column of the first row as raw bytes ("" for a NULL or no row). When `parameter` is
    // given it is bound, as bytes, to the statement's one placeholder (written ?1).
    static std::string QueryBytes(const std::string& dataSource, const std::string& sql,
                                  const std::string* parameter = nullptr);

    // A row trigger named `name` that runs `body` (plain statements separated by ';') `timing`
    // ("BEFORE", "AFTER") each `event` ("INSERT", "UPDATE", "UPDATE OF Column", "DELETE") on
    // `table` while `when` (a condition over NEW or OLD columns; "" for always) holds, written in
    // the data source's dialect. Returns "" on success, else what went wrong.
    static std::string CreateTrigger(const std::string& dataSource, const std::string& name,
                                     const std::string& timing, const std::string& event,
                                     const std::string& table, const std::string& when,
                                     const std::string& body);
    // A trigger that makes every such write fail with `message` before it is done.
    static std::string RefuseWrites(const std::string& dataSource, const std::string& name,
                                    const std::string& table, const std::string& event,
                                    const std::string& when, const std::string& message);
    // Removes a trigger made by either of the above.
    static std::string DropTrigger(const std::string& dataSource, const std::string& name,
                                   const std::string& table);

    // The URI with its database (the path after the host) replaced by `database`; query
    // parameters, user and host stay. Throws std::invalid_argument for a text that is no URI.
    static std::string WithDatabase(const std::string& uri, const std::string& database);

  private:
    std::vector<std::string> databases_; // server databases made here, dropped at destruction
    int owner_ = 0;                      // the process that made them
};

// Splits SQL text into its statements at each ';' outside quotes ('...', "..."), dollar quotes
// ($$...$$, $tag$...$tag$) and comments. Statements are trimmed; empty ones are left out.
std::vector<std::string> SplitStatements(const std::string& sql);

} // namespace velmora::test
