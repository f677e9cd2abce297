#include "engine/mapping/DBUtil.h"

#include <string>

#include "common/crypto/PasswordBlock.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

// Runs one mapping; a data-access error becomes a log entry and E_FAIL.
template <class Mapping> HRESULT Guarded(const char* routine, Mapping&& mapping) {
    try {
        mapping();
        return S_OK;
    } catch (const db::DbError& error) {
        log::LogComError(2, std::string("CDBUtil::") + routine, error);
        return E_FAIL;
    }
}

// Writes an identifier column only when it holds another value, so an unchanged key is never
// rewritten.
void SaveIdentifier(db::Recordset& row, const db::Value& stored, const char* column, LONG id) {
    if (VariantToLong(stored) != id) row.SetValue(column, db::Value::Int(id));
}

} // namespace

HRESULT CDBUtil::GetRightData(db::Recordset& row, CRight* right) {
    if (!right) return E_POINTER;
    return Guarded("GetRightData", [&] {
        right->SetID(VariantToLong(row.GetValue(0)));
        for (const auto& column : kRightColumns)
            right->SetFlag(column.flag, VariantToBool(row.GetValue(std::string(column.column))));
    });
}

HRESULT CDBUtil::SaveRightData(db::Recordset& row, CRight* right) {
    if (!right) return E_POINTER;
    return Guarded("SaveRightData", [&] {
        row.SetValue(0, db::Value::Int(right->ID()));
        for (const auto& column : kRightColumns)
            row.SetValue(std::string(column.column), db::Value::Bool(right->Flag(column.flag)));
    });
}

HRESULT CDBUtil::GetUserData(db::Recordset& row, CUser* user) {
    if (!user) return E_POINTER;
    return Guarded("GetUserData", [&] {
        UserData& data = user->Data();
        data.id = VariantToLong(row.GetValue(0));
        data.userName = VariantToString(row.GetValue("UserName"));
        data.loginName = VariantToString(row.GetValue("LoginName"));
        data.description = VariantToString(row.GetValue("UserDescrp"));
        data.email = VariantToString(row.GetValue("Email"));
        data.position = VariantToString(row.GetValue("Position"));
        data.department = VariantToString(row.GetValue("Department"));
        data.address = VariantToString(row.GetValue("Address"));
        data.phone = VariantToString(row.GetValue("phone"));
        data.password = VariantToPassword(row.GetValue("Password"));
    });
}

HRESULT CDBUtil::SaveUserData(db::Recordset& row, CUser* user) {
    if (!user) return E_POINTER;
    const UserData& data = user->Data();
    // A longer password would not leave the terminating zero byte in its 64-byte block.
    if (!crypto::PasswordFits(data.password)) {
        log::LogError(0, "CDBUtil::SaveUserData", crypto::kPasswordTooLongMessage);
        return E_FAIL;
    }
    return Guarded("SaveUserData", [&] {
        if (VariantToLong(row.GetValue(0)) != data.id) row.SetValue(0, db::Value::Int(data.id));
        row.SetValue("UserName", TextToField(data.userName));
        row.SetValue("UserDescrp", TextToField(data.description));
        row.SetValue("LoginName", TextToField(data.loginName));
        const auto block = crypto::EncipherPassword(data.password);
        row.SetValue("Password", db::Value::Binary({block.begin(), block.end()}));
        row.SetValue("Email", TextToField(data.email));
        row.SetValue("Position", TextToField(data.position));
        row.SetValue("Department", TextToField(data.department));
        row.SetValue("Address", TextToField(data.address));
        row.SetValue("phone", TextToField(data.phone));
    });
}

HRESULT CDBUtil::GetRoleData(db::Recordset& row, CRole* role) {
    if (!role) return E_POINTER;
    return Guarded("GetRoleData", [&] {
        RoleData& data = role->Data();
        data.id = VariantToLong(row.GetValue("roleID"));
        data.name = VariantToString(row.GetValue("RoleName"));
        data.description = VariantToString(row.GetValue("RoleDescription"));
    });
}

HRESULT CDBUtil::SaveRoleData(db::Recordset& row, CRole* role) {
    if (!role) return E_POINTER;
    return Guarded("SaveRoleData", [&] {
        const RoleData& data = role->Data();
        SaveIdentifier(row, row.GetValue("roleID"), "roleID", data.id);
        row.SetValue("RoleName", TextToField(data.name));
        row.SetValue("RoleDescription", TextToField(data.description));
    });
}

} // namespace velmora::engine
