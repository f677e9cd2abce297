#pragma once
// A fresh seed database in a private directory, the error log redirected next to it, and a
// session object created directly from the engine library.
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/admin/Right.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/Schema.h"
#include "engine/log/Log.h"
#include "engine/session/ExeContext.h"

namespace velmora::test {

using com::Bstr;
using com::ComPtr;

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-session-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        log::SetLogDirectoryForTesting(dir_.string() + "/");
        database_ = (dir_ / "team.mdb").string();
        ASSERT_EQ(db::CreateSeedDatabase(database_), "");
        session_ = engine::CreateObject<engine::CExeContext>();
    }
    void TearDown() override {
        session_.Reset();
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

    // The first column of the first row of a query, as text ("NULL" for a NULL, "" for no row).
    std::string Query(const std::string& sql) {
        sqlite3* db = nullptr;
        std::string result;
        if (sqlite3_open(database_.c_str(), &db) == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
                sqlite3_step(statement) == SQLITE_ROW) {
                const auto* text = sqlite3_column_text(statement, 0);
                result = text ? reinterpret_cast<const char*>(text) : "NULL";
            }
            sqlite3_finalize(statement);
        }
        sqlite3_close(db);
        return result;
    }
    int Count(const std::string& table, const std::string& where = "1=1") {
        return std::stoi(Query("SELECT COUNT(*) FROM " + table + " WHERE " + where));
    }

    // Role roleId (already in tRole) held by Admin, with a right row granting every permission.
    void GrantEveryRight(int roleId) {
        std::string everyRight;
        for (const auto& column : engine::kRightColumns)
            everyRight += std::string(everyRight.empty() ? "" : ", ") + "\"" +
                          std::string(column.column) + "\" = 1";
        const std::string id = std::to_string(roleId);
        Execute("BEGIN; INSERT INTO tUserRole VALUES (1, " + id +
                "); "
                "INSERT INTO tRight (RightID, RoleID) VALUES (" +
                id + ", " + id +
                "); "
                "UPDATE tRight SET " +
                everyRight + " WHERE RoleID = " + id + "; COMMIT");
    }
    // Grants or withdraws one right of every role (column name as in tRight).
    void SetRight(const std::string& column, bool granted) {
        Execute("UPDATE tRight SET \"" + column + "\" = " + (granted ? "1" : "0"));
    }

    HRESULT Open() { return session_->OpenAccessDB(Bstr(database_).Get()); }
    HRESULT Login(const std::string& name, const std::string& password) {
        return session_->Login(Bstr(name).Get(), Bstr(password).Get());
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
    // One entry as it appears after its time line.
    static std::string Entry(int code, const std::string& source, const std::string& text) {
        return "[ErrCode]: " + std::to_string(code) + "\r\n[Source]: " + source +
               "\r\n[Description]: " + text + "\r\n\r\n";
    }
    bool Logged(int code, const std::string& source, const std::string& text) const {
        return ErrLog().find(Entry(code, source, text)) != std::string::npos;
    }

    std::filesystem::path dir_;
    std::string database_;
    ComPtr<engine::CExeContext> session_;
};

} // namespace velmora::test
