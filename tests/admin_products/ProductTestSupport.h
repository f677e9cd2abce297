#pragma once
// A logged-in session on a fresh seed database whose current role (RoleID 1, bound to no
// product) holds every right, with helpers to build products, read the database behind the
// engine's back and change the role's right.
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/admin/ClassificationSet.h"
#include "engine/admin/Product.h"
#include "engine/admin/ProductSet.h"
#include "engine/admin/Right.h"
#include "engine/com/EngineObjects.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

using engine::CClassification;
using engine::CClassificationSet;
using engine::CProduct;
using engine::CProductSet;

class ProductTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        Execute("INSERT INTO tRole VALUES (1, 'Manager', '', 0)");
        GrantEveryRight(1);
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(1), S_OK);
    }

    // Every row of every table the product operations touch, for "nothing changed" checks.
    std::string Snapshot() {
        std::string all;
        for (const char* table : {"tProduct", "tVersion", "tBugReport", "tAttachment",
                                  "tClassification", "tRole", "tNextID"}) {
            all += std::string("\n") + table + ":";
            try {
                for (const auto& row : TestDataSource::QueryRows(
                         database_, std::string("SELECT * FROM ") + table + " ORDER BY 1")) {
                    for (const std::string& value : row)
                        all += value + ",";
                    all += ";";
                }
            } catch (const std::exception& e) {
                return std::string("<unreadable: ") + e.what() + ">";
            }
        }
        return all;
    }

    // A new product built in memory, as a client builds one.
    static ComPtr<CProduct> NewProduct(const std::string& name,
                                       std::initializer_list<const char*> versions) {
        auto product = engine::CreateObject<CProduct>();
        product->put_Name(Bstr(name).Get());
        product->put_Description(Bstr("about " + name).Get());
        double date = 45000;
        for (const char* version : versions) {
            ComPtr<IVersion> added;
            EXPECT_EQ(product->AddVersion(Bstr(version).Get(), Bstr("").Get(), date++, added.Put()),
                      S_OK);
        }
        return product;
    }

    // The session's set of every product.
    ComPtr<IProductSet> AllProducts() {
        ComPtr<IProductSet> set;
        EXPECT_EQ(session_->get_ProductSet(set.Put()), S_OK);
        return set;
    }
    // A product stored through the session's set; returns its ID.
    LONG StoreProduct(const std::string& name, std::initializer_list<const char*> versions) {
        auto product = NewProduct(name, versions);
        EXPECT_EQ(AllProducts()->Add(product.Get()), S_OK) << ErrorDescription();
        return product->Data().id;
    }
    LONG VersionID(LONG productId, const std::string& name) {
        const std::string id =
            Query("SELECT VersionID FROM tVersion WHERE ProductID = " + std::to_string(productId) +
                  " AND VersionName = '" + name + "'");
        return id.empty() ? 0 : std::stoi(id);
    }
    void InsertBug(LONG id, LONG version, LONG attachments = 0, LONG classId = 0) {
        Execute("INSERT INTO tBugReport (BugID, BugType, ReportedInVersionID, ClassID) VALUES (" +
                std::to_string(id) + ", 0, " + std::to_string(version) + ", " +
                std::to_string(classId) + ")");
        for (LONG i = 0; i < attachments; ++i)
            Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName) VALUES (" +
                    std::to_string(id * 100 + i) + ", " + std::to_string(id) + ", 'a.txt')");
    }

    static std::string NoRight(const std::string& action) {
        return "You have no right to " + action + ", please contact your manager!";
    }
};

} // namespace velmora::test
