#include "engine/admin/Product.h"

#include <string>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::engine {

com::ComPtr<CVersion> CProduct::AppendVersion(std::string name, std::string description,
                                              DATE releaseDate) {
    auto version = CreateObject<CVersion>();
    VersionData& data = version->Data();
    data.name = std::move(name);
    data.description = std::move(description);
    data.releaseDate = releaseDate;
    versions_.push_back(version);
    return version;
}

VersionData& CProduct::AppendVersionRow(std::string name, std::string description,
                                        DATE releaseDate) {
    // The product's list holds the version, so its row outlives the pointer returned here.
    return AppendVersion(std::move(name), std::move(description), releaseDate)->Data();
}

HRESULT CProduct::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CProduct::get_Version(LONG iIndex, IVersion** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "IProduct::Version", "");
    return ReturnObject<IVersion>(versions_[iIndex], pVal);
}

HRESULT CProduct::get_VersionCount(LONG* pVal) {
    return ReturnValue(static_cast<LONG>(versions_.size()), pVal);
}

HRESULT CProduct::AddVersion(BSTR bstrVerName, BSTR bstrVerDesp, DATE ReleaseDate,
                             IVersion** ppVersion) {
    if (!ppVersion) return E_POINTER;
    *ppVersion = nullptr;
    // An allocation failure is this member's described failure.
    constexpr OnFailure kFailed = {.description = "Add version Failed",
                                   .logCode = 0,
                                   .logSource = "IProduct::AddVersion",
                                   .outOfMemoryLog = "Add version failed"};
    return Guard(Info(), kFailed, [&] {
        return ReturnObject<IVersion>(
            AppendVersion(TextOf(bstrVerName), TextOf(bstrVerDesp), ReleaseDate), ppVersion);
    });
}

HRESULT CProduct::RemoveVersion(BSTR bstrVerName) {
    return Guard([&] {
        const std::string name = TextOf(bstrVerName);
        for (auto it = versions_.begin(); it != versions_.end(); ++it) {
            if ((*it)->Data().name == name) {
                versions_.erase(it);
                return S_OK;
            }
        }
        return Fail(Info(), "Remove Failed", 0, "IProduct::RemoveVersion", "Remove Failed");
    });
}

HRESULT CProduct::RemoveVersionAt(LONG iIndex) {
    if (!HoldsIndex(iIndex))
        return Fail(Info(), kSeeErrorLog, 0, "IProduct::RemoveVersionAt", "Remove version failed");
    versions_.erase(versions_.begin() + iIndex);
    return S_OK;
}

HRESULT CProduct::get_ClassificationSet(IClassificationSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (classificationSet_) return ReturnObject<IClassificationSet>(classificationSet_, pVal);
    constexpr const char* kSource = "IProduct::ClassificationSet";
    // A product that is not stored yet has no classifications to read. Nothing is kept, so the
    // set is read once the product has been added.
    if (data_.id == 0)
        return Fail(Info(), "ProductID is 0, cannot perform this action", 0, kSource,
                    "ProductID is 0, cannot perform this action");
    return Guard(Info(), {"Get ClassificationSet failded!", 0, kSource}, [&]() -> HRESULT {
        auto set = CreateObject<CClassificationSet>();
        db::Recordset rows;
        rows.Open("select * from tClassification where ProductID = ?", {db::Value::Int(data_.id)},
                  db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            auto classification = CreateObject<CClassification>();
            if (FAILED(CDBUtil::GetClassData(rows, classification.Get())))
                return Fail(Info(), "Get ClassificationSet failded!");
            set->AppendItem(std::move(classification));
        }
        set->SetProductID(data_.id);
        // Kept only when it was read whole, so a failed read is tried again on the next call.
        classificationSet_ = set;
        return ReturnObject<IClassificationSet>(classificationSet_, pVal);
    });
}

HRESULT CProduct::get_RoleSet(IRoleSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    constexpr const char* kSource = "IProduct::RoleSet";
    constexpr const char* kFailure = "Get RoleSet failed";
    if (data_.id == 0)
        return Fail(Info(), "ProductID is 0, cannot perform this action", 0, kSource,
                    "ProductID is 0, cannot perform this action");
    return Guard(Info(), {kFailure, 0, kSource}, [&]() -> HRESULT {
        auto set = CreateObject<CRoleSet>();
        db::Recordset rows;
        rows.Open("select * from tRole where ProductID = ?", {db::Value::Int(data_.id)},
                  db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            auto role = CreateObject<CRole>();
            if (FAILED(CDBUtil::GetRoleData(rows, role.Get()))) return Fail(Info(), kFailure);
            set->AppendItem(std::move(role));
        }
        return ReturnObject<IRoleSet>(set, pVal);
    });
}

HRESULT CProduct::get_Name(BSTR* pVal) {
    return ReturnText(data_.name, pVal);
}
HRESULT CProduct::put_Name(BSTR newVal) {
    return StoreText(newVal, data_.name);
}

HRESULT CProduct::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CProduct::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

} // namespace velmora::engine
