#pragma once
// A seed database with two products (versions, classifications and roles) written behind the
// engine's back, and a second user, for the session's product, assignment and synchronisation
// members.
#include <string>

#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

class SessionAdminTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        // Product 10 "Kiln" with versions 100 and 101, classifications 1000 and 1001 and the
        // roles 20 and 21; product 11 "Loom" with version 110, classification 1100, role 22.
        // Admin holds 21 and 20 (in that order in tUserRole); bob (id 2) holds role 22.
        Execute("BEGIN;"
                "INSERT INTO tProduct VALUES (10, 'Kiln', 'kiln'), (11, 'Loom', 'loom');"
                "INSERT INTO tVersion VALUES (100, 10, '1.0', '', 0), (101, 10, '2.0', '', 0),"
                " (110, 11, '0.9', '', 0);"
                "INSERT INTO tClassification VALUES (1000, 'UI', 10), (1001, 'Core', 10),"
                " (1100, 'Docs', 11);"
                "INSERT INTO tRole VALUES (20, 'Tester', '', 10), (21, 'Developer', '', 10),"
                " (22, 'Writer', '', 11);"
                "INSERT INTO tUser (UserID, LoginName, UserName) VALUES (2, 'bob', 'Bob');"
                "INSERT INTO tUserRole VALUES (2, 22);"
                "COMMIT");
        GrantEveryRight(21);
        GrantEveryRight(20);
        GrantEveryRight(22);
        Execute("DELETE FROM tUserRole WHERE UserID = 1 AND RoleID = 22");
        ASSERT_EQ(Open(), S_OK);
    }

    // A trigger that makes every write of the table matching `when` (a condition over NEW, "1=1"
    // for every write) fail, as a full disk or a lost lock would part way through a change.
    void FailWrites(const std::string& table, const std::string& event, const std::string& when) {
        RefuseWrites("refuse_" + table, table, event, when, "write refused");
    }
    // Lets the table's writes through again.
    void AllowWrites(const std::string& table) { DropTrigger("refuse_" + table, table); }
};

} // namespace velmora::test
