#pragma once
// The session fixture's fresh seed database with the process-wide connection string pointing at it
// (as opening a session would leave it), and one connection of the test's own for positioning rows.
#include <string>

#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

class BugRecordTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        db::SetProcessConnectionString(db::MakeConnectionString(database_));
        connection_.Open(db::MakeConnectionString(database_));
    }
    void TearDown() override {
        connection_.Close();
        db::SetProcessConnectionString("");
        SessionTest::TearDown();
    }

    // An updatable set on the test's connection, as the engine's writers open them.
    void OpenRows(db::Recordset& rows, const std::string& sql) {
        rows.Open(sql, connection_, db::CursorType::Keyset, db::LockType::Optimistic);
    }
    // The stored value of a column in the first row a query selects.
    db::Value Stored(const std::string& sql, const std::string& column) {
        db::Recordset rows;
        OpenRows(rows, sql);
        EXPECT_FALSE(rows.IsEOF()) << sql;
        return rows.IsEOF() ? db::Value() : rows.GetValue(column);
    }
    // An entry with any description (a caught data-access error carries the provider's text).
    bool LoggedUnder(int code, const std::string& source) const {
        return ErrLog().find("[ErrCode]: " + std::to_string(code) + "\r\n[Source]: " + source +
                             "\r\n") != std::string::npos;
    }

    db::Connection connection_;
};

} // namespace velmora::test
