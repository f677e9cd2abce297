#pragma once
// CDBUtil: the one place that knows which column feeds which object property. Callers open and
// position the record set (and call AddNew/Update); these routines only copy between the current
// row and the object. Each catches data-access errors, logs them under "CDBUtil::<routine>" and
// returns E_FAIL, leaving the caller to report its own message.
#include <velmora/Com.h>

#include "engine/db/Database.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CDBUtil {
  public:
    static HRESULT GetRightData(db::Recordset& row, MappedRow<RightData>* right);
    static HRESULT SaveRightData(db::Recordset& row, MappedRow<RightData>* right);
    static HRESULT GetUserData(db::Recordset& row, MappedRow<UserData>* user);
    static HRESULT SaveUserData(db::Recordset& row, MappedRow<UserData>* user);
    static HRESULT GetRoleData(db::Recordset& row, MappedRow<RoleData>* role);
    static HRESULT SaveRoleData(db::Recordset& row, MappedRow<RoleData>* role);
    static HRESULT GetClassData(db::Recordset& row, MappedRow<ClassificationData>* classification);
    static HRESULT SaveClassData(db::Recordset& row, MappedRow<ClassificationData>* classification);
    static HRESULT GetUserSysInfoData(db::Recordset& row, MappedRow<UserSysInfoData>* sysInfo);
    static HRESULT SaveUserSysInfoData(db::Recordset& row, MappedRow<UserSysInfoData>* sysInfo);
    // Reading a product also reads its versions, on the connection of `row`, into its list.
    static HRESULT GetProductData(db::Recordset& row, ProductRow* product);
    // Writes the product row only; its versions are written by the product set.
    static HRESULT SaveProductData(db::Recordset& row, ProductRow* product);
    static HRESULT GetVersionData(db::Recordset& row, MappedRow<VersionData>* version);
    // Every column of tBugReport but ActualTime, which is neither read nor written. Saving
    // writes identifiers, dates and the type always; an emptied free text (description, status,
    // ...) leaves the stored text unchanged, while the reproducibility and each name beside its
    // identifier are always written (empty as NULL).
    static HRESULT GetBugData(db::Recordset& row, MappedRow<BugData>* bug);
    static HRESULT SaveBugData(db::Recordset& row, MappedRow<BugData>* bug);
};

} // namespace velmora::engine
