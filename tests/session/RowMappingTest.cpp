#include "SessionTestSupport.h"

#include "common/crypto/PasswordBlock.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/db/ConnectionString.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::test {
namespace {

using engine::CDBUtil;

class RowMapping : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        connection_.Open(db::MakeConnectionString(database_));
    }
    void TearDown() override {
        connection_.Close();
        SessionTest::TearDown();
    }
    void OpenRows(db::Recordset& rows, const std::string& sql) {
        rows.Open(sql, connection_, db::CursorType::Keyset, db::LockType::Optimistic);
    }
    db::Connection connection_;
};

TEST_F(RowMapping, UserRoundTripsWithAnEncipheredPassword) {
    auto user = engine::CreateObject<engine::CUser>();
    user->Data() = {5, "pat", "Pat O'Brien", "", "pa55 word", "pat@example.org", "QA",
                    "Main Street 1", "555-1234", "Testing"};
    {
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tUser");
        rows.AddNew();
        ASSERT_EQ(CDBUtil::SaveUserData(rows, user.Get()), S_OK);
        rows.Update();
    }
    db::Recordset rows;
    OpenRows(rows, "SELECT * FROM tUser WHERE UserID = 5");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_TRUE(rows.GetValue("UserDescrp").isNull()) << "an empty text is stored as NULL";
    const auto stored = rows.GetValue("Password").asBinary();
    ASSERT_EQ(stored.size(), 64u);
    EXPECT_EQ(std::string(stored.begin(), stored.begin() + 9).find("pa55"), std::string::npos);

    auto back = engine::CreateObject<engine::CUser>();
    ASSERT_EQ(CDBUtil::GetUserData(rows, back.Get()), S_OK);
    EXPECT_EQ(back->Data().id, 5);
    EXPECT_EQ(back->Data().userName, "Pat O'Brien");
    EXPECT_EQ(back->Data().password, "pa55 word");
    EXPECT_EQ(back->Data().phone, "555-1234");
    EXPECT_EQ(back->Data().department, "Testing");
}

TEST_F(RowMapping, OverlongPasswordIsRefusedBeforeAnythingIsWritten) {
    auto user = engine::CreateObject<engine::CUser>();
    user->Data().id = 6;
    user->Data().loginName = "long";
    user->Data().password = std::string(63, 'x');
    db::Recordset rows;
    OpenRows(rows, "SELECT * FROM tUser");
    rows.AddNew();
    EXPECT_EQ(CDBUtil::SaveUserData(rows, user.Get()), S_OK);
    rows.CancelUpdate();

    user->Data().password = std::string(62, 'x') + "\xC3\xA9"; // 64 bytes in UTF-8
    rows.AddNew();
    EXPECT_EQ(CDBUtil::SaveUserData(rows, user.Get()), E_FAIL);
    rows.CancelUpdate();
    EXPECT_TRUE(Logged(0, "CDBUtil::SaveUserData", crypto::kPasswordTooLongMessage));
}

TEST_F(RowMapping, RightFlagsMapToTheirColumns) {
    Execute("INSERT INTO tRole VALUES (2, 'Lead', NULL, 0)");
    auto right = engine::CreateObject<engine::CRight>();
    right->SetID(9);
    right->SetFlag(engine::RightFlag::Statistic, true);
    right->SetFlag(engine::RightFlag::DeleteProduct, true);
    {
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tRight");
        rows.AddNew();
        ASSERT_EQ(CDBUtil::SaveRightData(rows, right.Get()), S_OK);
        rows.SetValue(1, db::Value::Int(2));
        rows.Update();
    }
    db::Recordset rows;
    OpenRows(rows, "SELECT * FROM tRight WHERE RoleID = 2");
    EXPECT_TRUE(rows.GetValue("ViewStatistic").asBool());
    EXPECT_FALSE(rows.GetValue("Read").asBool()) << "storing does not apply the Read rule";
    auto back = engine::CreateObject<engine::CRight>();
    ASSERT_EQ(CDBUtil::GetRightData(rows, back.Get()), S_OK);
    EXPECT_EQ(back->ID(), 9);
    EXPECT_TRUE(back->Flag(engine::RightFlag::Statistic));
    EXPECT_TRUE(back->Flag(engine::RightFlag::DeleteProduct));
    EXPECT_FALSE(back->Flag(engine::RightFlag::Add));
}

TEST_F(RowMapping, MissingColumnIsALoggedFailure) {
    db::Recordset rows;
    rows.Open("SELECT RoleID, RoleName FROM tRole", connection_, db::CursorType::Static,
              db::LockType::ReadOnly);
    Execute("INSERT INTO tRole VALUES (3, 'x', NULL, 0)");
    rows.Requery();
    auto role = engine::CreateObject<engine::CRole>();
    EXPECT_EQ(CDBUtil::GetRoleData(rows, role.Get()), E_FAIL);
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CDBUtil::GetRoleData\r\n"),
              std::string::npos);
}

TEST_F(RowMapping, RoleKeepsAnUnchangedKeyAndEmptiesTexts) {
    Execute("INSERT INTO tRole VALUES (3, 'Old', 'old text', 0)");
    db::Recordset rows;
    OpenRows(rows, "SELECT * FROM tRole WHERE RoleID = 3");
    auto role = engine::CreateObject<engine::CRole>();
    ASSERT_EQ(CDBUtil::GetRoleData(rows, role.Get()), S_OK);
    role->Data().name = "New";
    role->Data().description.clear();
    ASSERT_EQ(CDBUtil::SaveRoleData(rows, role.Get()), S_OK);
    rows.Update();
    rows.Requery();
    EXPECT_EQ(rows.GetValue("RoleName").asText(), "New");
    EXPECT_TRUE(rows.GetValue("RoleDescription").isNull());
}

} // namespace
} // namespace velmora::test
