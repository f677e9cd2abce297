#pragma once
// A fresh seed database (a file in a private directory, or a database on a server when the run
// asks for one: tests/support/TestDataSource.h), the error log redirected to that directory, and
// a session object created directly from the engine library.
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
#include "tests/support/TestDataSource.h"

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
        database_ = dataSources_.Create(dir_, "team.mdb");
        ASSERT_EQ(db::CreateSeedDatabase(database_), "");
        session_ = engine::CreateObject<engine::CExeContext>();
    }
    void TearDown() override {
        session_.Reset();
        log::SetLogDirectoryForTesting("");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Changes the database behind the engine's back, as another client would: one or more
    // statements separated by ';'.
    void Execute(const std::string& sql) { ASSERT_EQ(TestDataSource::Execute(database_, sql), ""); }

    // The first column of the first row of a query, as text ("NULL" for a NULL, "" for no row).
    // A query that fails fails the test.
    std::string Query(const std::string& sql) {
        try {
            return TestDataSource::QueryText(database_, sql);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            return "";
        }
    }
    // The first column of every row of a query, joined by commas ("" for no row).
    std::string QueryList(const std::string& sql) {
        std::string list;
        try {
            for (const auto& row : TestDataSource::QueryRows(database_, sql))
                list += (list.empty() ? "" : ",") + row.at(0);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
        return list;
    }
    // Triggers written in the database's dialect (see TestDataSource): another client's change
    // landing in the middle of the engine's, or a write that fails.
    void CreateTrigger(const std::string& name, const std::string& timing, const std::string& event,
                       const std::string& table, const std::string& when, const std::string& body) {
        ASSERT_EQ(TestDataSource::CreateTrigger(database_, name, timing, event, table, when, body),
                  "");
    }
    void RefuseWrites(const std::string& name, const std::string& table, const std::string& event,
                      const std::string& when, const std::string& message) {
        ASSERT_EQ(TestDataSource::RefuseWrites(database_, name, table, event, when, message), "");
    }
    void DropTrigger(const std::string& name, const std::string& table) {
        ASSERT_EQ(TestDataSource::DropTrigger(database_, name, table), "");
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
    TestDataSource dataSources_; // drops a server database after the test
    std::string database_;       // the data source the session opens
    ComPtr<engine::CExeContext> session_;
};

} // namespace velmora::test
