// Products with their versions, classifications and system information between rows and objects.
#include "BugRecordTestSupport.h"

#include <tuple>

#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/admin/UserSysInfo.h"
#include "engine/admin/Version.h"
#include "engine/com/EngineObjects.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::test {
namespace {

using engine::CDBUtil;
using AdminRowMapping = BugRecordTest;

TEST_F(AdminRowMapping, ProductIsReadWithItsVersionsInRowOrder) {
    Execute("INSERT INTO tProduct VALUES (3, 'Tracker', 'Bugs and features'), (4, 'Other', NULL)");
    Execute("INSERT INTO tVersion VALUES (10, 3, '2.0 ''final''', 'Long\nnotes', 45000.5), "
            "(20, 4, 'x', NULL, 0), (11, 3, '1.1', NULL, NULL)");
    auto product = engine::CreateObject<engine::CProduct>();
    db::Recordset rows;
    OpenRows(rows, "SELECT * FROM tProduct WHERE ProductID = 3");
    ASSERT_EQ(CDBUtil::GetProductData(rows, product.Get()), S_OK);

    EXPECT_EQ(product->Data().id, 3);
    EXPECT_EQ(product->Data().name, "Tracker");
    EXPECT_EQ(product->Data().description, "Bugs and features");
    const auto& versions = product->Versions();
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[0]->Data().id, 10);
    EXPECT_EQ(versions[0]->Data().name, "2.0 'final'");
    EXPECT_EQ(versions[0]->Data().description, "Long\nnotes");
    EXPECT_EQ(versions[0]->Data().releaseDate, 45000.5);
    EXPECT_EQ(versions[1]->Data().id, 11);
    EXPECT_EQ(versions[1]->Data().description, "");
    EXPECT_EQ(versions[1]->Data().releaseDate, 0.0);
}

TEST_F(AdminRowMapping, ClassificationRoundTripsAndLeavesTheProductToTheCaller) {
    auto classification = engine::CreateObject<engine::CClassification>();
    classification->Data().id = 8;
    classification->Data().name = "User's interface";
    classification->SetProductID(3);
    {
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tClassification WHERE ClassificationID = 0");
        rows.AddNew();
        ASSERT_EQ(CDBUtil::SaveClassData(rows, classification.Get()), S_OK);
        rows.Update();
    }
    const std::string sql = "SELECT * FROM tClassification WHERE ClassificationID = 8";
    EXPECT_TRUE(Stored(sql, "ProductID").isNull());

    auto back = engine::CreateObject<engine::CClassification>();
    db::Recordset rows;
    OpenRows(rows, sql);
    ASSERT_EQ(CDBUtil::GetClassData(rows, back.Get()), S_OK);
    EXPECT_EQ(back->Data().id, 8);
    EXPECT_EQ(back->Data().name, "User's interface");
    EXPECT_EQ(back->Data().productId, 0);
}

// A client fills a new UserSysInfo (ID 0, no user) and hands it over to rewrite the stored row:
// the row must stay linked to its user under its own identifier.
TEST_F(AdminRowMapping, SystemInformationRoundTripsAndARewriteKeepsTheIdentifiers) {
    auto sysInfo = engine::CreateObject<engine::CUserSysInfo>();
    sysInfo->Data() = {
        4,  2,      "x86-64, 8 cores",       "Firefox 115", "16 GB", "LAN", "Debian", "12.5",
        "", "1 TB", "It's the build machine"};
    {
        db::Recordset rows;
        OpenRows(rows, "SELECT * FROM tUserSystemInfo WHERE UserSystemInfoID = 0");
        rows.AddNew();
        ASSERT_EQ(CDBUtil::SaveUserSysInfoData(rows, sysInfo.Get()), S_OK);
        rows.Update();
    }
    const std::string sql = "SELECT * FROM tUserSystemInfo WHERE UserSystemInfoID = 4";
    EXPECT_EQ(Stored(sql, "IE Version").asText(), "Firefox 115");
    EXPECT_TRUE(Stored(sql, "ServicePack").isNull());

    auto back = engine::CreateObject<engine::CUserSysInfo>();
    db::Recordset rows;
    OpenRows(rows, sql);
    ASSERT_EQ(CDBUtil::GetUserSysInfoData(rows, back.Get()), S_OK);
    auto fields = [](const engine::UserSysInfoData& d) {
        return std::tie(d.id, d.userId, d.cpu, d.ieVersion, d.memory, d.netEnvironment, d.os,
                        d.osBuild, d.servicePack, d.hardDisk, d.note);
    };
    EXPECT_TRUE(fields(back->Data()) == fields(sysInfo->Data()));

    auto fromClient = engine::CreateObject<engine::CUserSysInfo>();
    fromClient->Data().os = "New";
    ASSERT_EQ(CDBUtil::SaveUserSysInfoData(rows, fromClient.Get()), S_OK);
    rows.Update();
    rows.Close();
    EXPECT_EQ(Stored(sql, "OS").asText(), "New");
    EXPECT_EQ(Stored(sql, "UserID").asInt(), 2);
}

} // namespace
} // namespace velmora::test
