#include "engine/mapping/DBUtil.h"

#include <string>

#include "common/crypto/PasswordBlock.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/mapping/MappingSupport.h"

namespace velmora::engine {
using mapping::Guarded;
using mapping::SaveIdentifier;

HRESULT CDBUtil::GetRightData(db::Recordset& row, MappedRow<RightData>* right) {
    if (!right) return E_POINTER;
    return Guarded("GetRightData", [&] {
        RightData& data = right->Data();
        data.id = VariantToLong(row.GetValue(0));
        for (const auto& column : kRightColumns)
            data.SetFlag(column.flag, VariantToBool(row.GetValue(std::string(column.column))));
    });
}

HRESULT CDBUtil::SaveRightData(db::Recordset& row, MappedRow<RightData>* right) {
    if (!right) return E_POINTER;
    return Guarded("SaveRightData", [&] {
        const RightData& data = right->Data();
        row.SetValue(0, db::Value::Int(data.id));
        for (const auto& column : kRightColumns)
            row.SetValue(std::string(column.column), db::Value::Bool(data.Flag(column.flag)));
    });
}

HRESULT CDBUtil::GetUserData(db::Recordset& row, MappedRow<UserData>* user) {
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

HRESULT CDBUtil::SaveUserData(db::Recordset& row, MappedRow<UserData>* user) {
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

HRESULT CDBUtil::GetRoleData(db::Recordset& row, MappedRow<RoleData>* role) {
    if (!role) return E_POINTER;
    return Guarded("GetRoleData", [&] {
        RoleData& data = role->Data();
        data.id = VariantToLong(row.GetValue("roleID"));
        data.name = VariantToString(row.GetValue("RoleName"));
        data.description = VariantToString(row.GetValue("RoleDescription"));
    });
}

HRESULT CDBUtil::SaveRoleData(db::Recordset& row, MappedRow<RoleData>* role) {
    if (!role) return E_POINTER;
    return Guarded("SaveRoleData", [&] {
        const RoleData& data = role->Data();
        SaveIdentifier(row, "roleID", data.id);
        row.SetValue("RoleName", TextToField(data.name));
        row.SetValue("RoleDescription", TextToField(data.description));
    });
}

HRESULT CDBUtil::GetClassData(db::Recordset& row, MappedRow<ClassificationData>* classification) {
    if (!classification) return E_POINTER;
    return Guarded("GetClassData", [&] {
        ClassificationData& data = classification->Data();
        data.id = VariantToLong(row.GetValue("ClassificationID"));
        data.name = VariantToString(row.GetValue("ClassName"));
    });
}

HRESULT CDBUtil::SaveClassData(db::Recordset& row, MappedRow<ClassificationData>* classification) {
    if (!classification) return E_POINTER;
    return Guarded("SaveClassData", [&] {
        const ClassificationData& data = classification->Data();
        SaveIdentifier(row, "ClassificationID", data.id);
        row.SetValue("ClassName", TextToField(data.name));
    });
}

HRESULT CDBUtil::GetUserSysInfoData(db::Recordset& row, MappedRow<UserSysInfoData>* sysInfo) {
    if (!sysInfo) return E_POINTER;
    return Guarded("GetUserSysInfoData", [&] {
        UserSysInfoData& data = sysInfo->Data();
        data.id = VariantToLong(row.GetValue("UserSystemInfoID"));
        // The owner comes along where the statement selected it, so that saving the object
        // again keeps it.
        if (row.HasField("UserID")) data.userId = VariantToLong(row.GetValue("UserID"));
        data.cpu = VariantToString(row.GetValue("CPU"));
        data.ieVersion = VariantToString(row.GetValue("IE Version"));
        data.memory = VariantToString(row.GetValue("Memory"));
        data.netEnvironment = VariantToString(row.GetValue("NetEnvironment"));
        data.os = VariantToString(row.GetValue("OS"));
        data.osBuild = VariantToString(row.GetValue("OSBuild"));
        data.servicePack = VariantToString(row.GetValue("ServicePack"));
        data.hardDisk = VariantToString(row.GetValue("HardDisk"));
        data.note = VariantToString(row.GetValue("Note"));
    });
}

HRESULT CDBUtil::SaveUserSysInfoData(db::Recordset& row, MappedRow<UserSysInfoData>* sysInfo) {
    if (!sysInfo) return E_POINTER;
    return Guarded("SaveUserSysInfoData", [&] {
        const UserSysInfoData& data = sysInfo->Data();
        // An object made by a client carries 0 for both: rewriting a stored row from it must not
        // cut the row off from its user, so 0 never replaces a stored identifier.
        if (data.id != 0) SaveIdentifier(row, "UserSystemInfoID", data.id);
        if (data.userId != 0) SaveIdentifier(row, "UserID", data.userId);
        row.SetValue("CPU", TextToField(data.cpu));
        row.SetValue("IE Version", TextToField(data.ieVersion));
        row.SetValue("Memory", TextToField(data.memory));
        row.SetValue("NetEnvironment", TextToField(data.netEnvironment));
        row.SetValue("OS", TextToField(data.os));
        row.SetValue("OSBuild", TextToField(data.osBuild));
        row.SetValue("ServicePack", TextToField(data.servicePack));
        row.SetValue("HardDisk", TextToField(data.hardDisk));
        row.SetValue("Note", TextToField(data.note));
    });
}

HRESULT CDBUtil::GetProductData(db::Recordset& row, ProductRow* product) {
    if (!product) return E_POINTER;
    return Guarded("GetProductData", [&] {
        ProductData& data = product->Data();
        data.id = VariantToLong(row.GetValue(0));
        data.name = VariantToString(row.GetValue(1));
        data.description = VariantToString(row.GetValue(2));

        // tVersion by position: VersionID, ProductID, name, description, release date.
        db::Recordset versions;
        versions.Open("SELECT * FROM tVersion WHERE ProductID = ?", {db::Value::Int(data.id)},
                      row.ActiveConnection(), db::CursorType::Keyset, db::LockType::Optimistic);
        for (; !versions.IsEOF(); versions.MoveNext()) {
            VersionData& version = product->AppendVersionRow(VariantToString(versions.GetValue(2)),
                                                             VariantToString(versions.GetValue(3)),
                                                             VariantToDate(versions.GetValue(4)));
            version.id = VariantToLong(versions.GetValue(0));
        }
    });
}

HRESULT CDBUtil::SaveProductData(db::Recordset& row, ProductRow* product) {
    if (!product) return E_POINTER;
    return Guarded("SaveProductData", [&] {
        const ProductData& data = product->Data();
        if (data.id != 0 && VariantToLong(row.GetValue(0)) != data.id)
            row.SetValue(0, db::Value::Int(data.id));
        row.SetValue(1, TextToField(data.name));
        row.SetValue(2, TextToField(data.description));
    });
}

HRESULT CDBUtil::GetVersionData(db::Recordset& row, MappedRow<VersionData>* version) {
    if (!version) return E_POINTER;
    return Guarded("GetVersionData", [&] {
        VersionData& data = version->Data();
        data.name = VariantToString(row.GetValue("VersionName"));
        data.description = VariantToString(row.GetValue("VersionDesrp"));
        data.releaseDate = VariantToDate(row.GetValue("ReleaseDate"));
        data.id = VariantToLong(row.GetValue("VersionID"));
    });
}

} // namespace velmora::engine
