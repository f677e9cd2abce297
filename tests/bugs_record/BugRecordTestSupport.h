#pragma once
// A fresh seed database in a private directory, the error log redirected next to it, the
// process-wide connection string pointing at it (as opening a session would leave it) and one
// connection of the test's own for positioning rows.
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/Schema.h"
#include "engine/log/Log.h"

namespace velmora::test {

using com::Bstr;
using com::ComPtr;

class BugRecordTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-bugrec-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        log::SetLogDirectoryForTesting(dir_.string() + "/");
        database_ = (dir_ / "team.mdb").string();
        ASSERT_EQ(db::CreateSeedDatabase(database_), "");
        db::SetProcessConnectionString(db::MakeConnectionString(database_));
        connection_.Open(db::MakeConnectionString(database_));
    }
    void TearDown() override {
        connection_.Close();
        db::SetProcessConnectionString("");
        log::SetLogDirectoryForTesting("");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Changes the database behind the engine's back, as another client would.
    void Execute(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(database_.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
        const std::string text = message ? message : "";
        sqlite3_free(message);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << text << " in " << sql;
    }

    // An updatable set on the test's connection, as the engine's writers open them.
    void OpenRows(db::Recordset& rows, const std::string& sql) {
        rows.Open(sql, connection_, db::CursorType::Keyset, db::LockType::Optimistic);
    }

    // The description the last failing member left for its caller.
    static std::string ErrorDescription() {
        IErrorInfo* raw = nullptr;
        if (GetErrorInfo(0, &raw) != S_OK || !raw) return "<none>";
        auto info = ComPtr<IErrorInfo>::Adopt(raw);
        Bstr description;
        info->GetDescription(description.Put());
        return description.Utf8();
    }

    std::string ErrLog() const {
        std::ifstream file(dir_ / "Err.log", std::ios::binary);
        std::stringstream content;
        content << file.rdbuf();
        return content.str();
    }
    static std::string Head(int code, const std::string& source) {
        return "[ErrCode]: " + std::to_string(code) + "\r\n[Source]: " + source +
               "\r\n[Description]: ";
    }
    // One entry as it appears after its time line.
    bool Logged(int code, const std::string& source, const std::string& text) const {
        return ErrLog().find(Head(code, source) + text + "\r\n\r\n") != std::string::npos;
    }
    // An entry with any description (a caught data-access error carries the provider's text).
    bool LoggedUnder(int code, const std::string& source) const {
        return ErrLog().find(Head(code, source)) != std::string::npos;
    }

    std::filesystem::path dir_;
    std::string database_;
    db::Connection connection_;
};

} // namespace velmora::test
