#pragma once
// CDBUtil: the one place that knows which column feeds which object property. Callers open and
// position the record set (and call AddNew/Update); these routines only copy between the current
// row and the object. Each catches data-access errors, logs them under "CDBUtil::<routine>" and
// returns E_FAIL, leaving the caller to report its own message.
#include <velmora/Com.h>

#include "engine/db/Database.h"

namespace velmora::engine {

class CBug;
class CClassification;
class CProduct;
class CRight;
class CRole;
class CUser;
class CUserSysInfo;
class CVersion;

class CDBUtil {
  public:
    static HRESULT GetRightData(db::Recordset& row, CRight* right);
    static HRESULT SaveRightData(db::Recordset& row, CRight* right);
    static HRESULT GetUserData(db::Recordset& row, CUser* user);
    static HRESULT SaveUserData(db::Recordset& row, CUser* user);
    static HRESULT GetRoleData(db::Recordset& row, CRole* role);
    static HRESULT SaveRoleData(db::Recordset& row, CRole* role);
    static HRESULT GetClassData(db::Recordset& row, CClassification* classification);
    static HRESULT SaveClassData(db::Recordset& row, CClassification* classification);
    static HRESULT GetUserSysInfoData(db::Recordset& row, CUserSysInfo* sysInfo);
    static HRESULT SaveUserSysInfoData(db::Recordset& row, CUserSysInfo* sysInfo);
    // Reading a product also reads its versions, on the connection of `row`, into its list.
    static HRESULT GetProductData(db::Recordset& row, CProduct* product);
    // Writes the product row only; its versions are written by the product set.
    static HRESULT SaveProductData(db::Recordset& row, CProduct* product);
    static HRESULT GetVersionData(db::Recordset& row, CVersion* version);
    // Every column of tBugReport but ActualTime, which is neither read nor written. Saving
    // writes identifiers, dates and the type always; an emptied free text (description, status,
    // ...) leaves the stored text unchanged, while the reproducibility and each name beside its
    // identifier are always written (empty as NULL).
    static HRESULT GetBugData(db::Recordset& row, CBug* bug);
    static HRESULT SaveBugData(db::Recordset& row, CBug* bug);
};

} // namespace velmora::engine
