#pragma once
// CDBUtil: the one place that knows which column feeds which object property. Callers open and
// position the record set (and call AddNew/Update); these routines only copy between the current
// row and the object. Each catches data-access errors, logs them under "CDBUtil::<routine>" and
// returns E_FAIL, leaving the caller to report its own message.
#include <velmora/Com.h>

#include "engine/db/Database.h"

namespace velmora::engine {

class CRight;
class CRole;
class CUser;

class CDBUtil {
  public:
    static HRESULT GetRightData(db::Recordset& row, CRight* right);
    static HRESULT SaveRightData(db::Recordset& row, CRight* right);
    static HRESULT GetUserData(db::Recordset& row, CUser* user);
    static HRESULT SaveUserData(db::Recordset& row, CUser* user);
    static HRESULT GetRoleData(db::Recordset& row, CRole* role);
    static HRESULT SaveRoleData(db::Recordset& row, CRole* role);
};

} // namespace velmora::engine
