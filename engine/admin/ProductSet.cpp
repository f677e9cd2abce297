#include "engine/admin/ProductSet.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "engine/admin/Permission.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/NextId.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

constexpr const char* kRightSource = "CProductSet::GetRight";
constexpr GuardedAction kAddProduct = {RightFlag::AddProduct, "add product", kRightSource, nullptr};
constexpr GuardedAction kUpdateProduct = {RightFlag::EditProduct, "update product", kRightSource,
                                          nullptr};
constexpr GuardedAction kDeleteProduct = {RightFlag::DeleteProduct, "delete product", kRightSource,
                                          nullptr};

constexpr const char* kAddSource = "IProductSet::Add";
constexpr const char* kAddFailed = "Add product failed";
constexpr const char* kNextIdFailed = "GetNextID return 0, Add Failed";
constexpr const char* kDeleteFailed = "Delelte product failed";

// The identifiers a failed store wrote into a product and its versions, put back afterwards so
// the objects again describe what the database holds.
class StoredIds {
  public:
    explicit StoredIds(const CProduct& product) : product_(product.Data().id) {
        for (const auto& version : product.Versions())
            versions_.push_back(version->Data().id);
    }
    void Restore(CProduct& product) const {
        product.SetID(product_);
        const auto& versions = product.Versions();
        for (size_t i = 0; i < versions.size() && i < versions_.size(); ++i)
            versions[i]->SetID(versions_[i]);
    }

  private:
    LONG product_;
    std::vector<LONG> versions_;
};

// tVersion by position: VersionID, ProductID, name, description, release date. An unchanged
// identifier is not rewritten.
void WriteVersionRow(db::Recordset& row, LONG productId, const CVersion& version) {
    const VersionData& data = version.Data();
    if (data.id != 0 && VariantToLong(row.GetValue(0)) != data.id)
        row.SetValue(0, db::Value::Int(data.id));
    row.SetValue(1, db::Value::Int(productId));
    row.SetValue(2, TextToField(data.name));
    row.SetValue(3, TextToField(data.description));
    row.SetValue(4, db::Value::Date(data.releaseDate));
}

// Appends the version as a new row with a new identifier, written into the version. False when
// no identifier could be allocated.
bool AddVersionRow(db::Recordset& rows, LONG productId, CVersion& version) {
    const LONG id = db::GetNextID("NextVersionID");
    if (id == 0) {
        FailLogOnly(0, "IProductSet::RealAddVersion", kNextIdFailed);
        return false;
    }
    version.SetID(id);
    rows.AddNew();
    WriteVersionRow(rows, productId, version);
    rows.Update();
    return true;
}

// Deletes the bugs and features reported in the version, and their attachments with them so no
// attachment is left without its bug.
void DeleteBugsOfVersion(db::Connection& connection, LONG versionId) {
    const std::vector<db::Value> key{db::Value::Int(versionId)};
    connection.Execute("DELETE FROM tAttachment WHERE BugID IN (SELECT BugID FROM tBugReport "
                       "WHERE ReportedInVersionID=?)",
                       key);
    DeleteRows(connection, "SELECT ReportedInVersionID FROM tBugReport WHERE ReportedInVersionID=?",
               key);
}

// The new product's versions as new rows. Data-access errors are logged and give false.
bool RealAddVersions(db::Connection& connection, CProduct& product) {
    const LONG productId = product.Data().id;
    return GuardStep(2, "IProductSet::RealAddVersions", [&] {
        db::Recordset rows;
        rows.Open("select * from tVersion where ProductID = ?", {db::Value::Int(productId)},
                  connection, db::CursorType::Keyset, db::LockType::Optimistic);
        DeleteEachRow(rows);
        for (const auto& version : product.Versions()) {
            if (!AddVersionRow(rows, productId, *version.Get())) {
                FailLogOnly(0, "CProductSet::RealAddVersions", "RealAddVersion return FALSE");
                return false;
            }
        }
        return true;
    });
}

// Brings the stored versions in line with the product's list: rows whose version left the list
// are deleted with their bugs, listed versions are rewritten or added. Data-access errors are
// thrown; false when a version could not be added.
bool SyncVersions(db::Connection& connection, CProduct& product) {
    const LONG productId = product.Data().id;
    const auto& versions = product.Versions();
    db::Recordset rows;
    rows.Open("select * from tVersion where productid = ?", {db::Value::Int(productId)}, connection,
              db::CursorType::Keyset, db::LockType::Optimistic);
    std::vector<LONG> dropped;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        const LONG stored = VariantToLong(rows.GetValue(0));
        const bool listed = std::any_of(versions.begin(), versions.end(),
                                        [&](const auto& v) { return v->Data().id == stored; });
        if (!listed) dropped.push_back(stored);
    }
    for (const LONG id : dropped) {
        DeleteBugsOfVersion(connection, id);
        rows.SetFilter("versionID = " + std::to_string(id));
        DeleteEachRow(rows);
    }
    for (const auto& version : versions) {
        const LONG id = version->Data().id;
        rows.SetFilter("versionID = " + std::to_string(id));
        if (!rows.IsEOF() && id != 0) {
            WriteVersionRow(rows, productId, *version.Get());
            rows.Update();
        } else if (!AddVersionRow(rows, productId, *version.Get())) {
            FailLogOnly(0, "CProductSet::RealUpdateVersion", "RealAddVersion Failded");
            return false;
        }
    }
    rows.SetFilter("");
    return true;
}

} // namespace

HRESULT CProductSet::RealAddProduct(CProduct& product) {
    constexpr const char* kSource = "IProductSet::RealAddProduct";
    const StoredIds before(product);
    std::optional<std::string> failure;
    try {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        const LONG id = db::GetNextID("NextProductID");
        if (id == 0) {
            FailLogOnly(0, kSource, kNextIdFailed);
            failure = kNextIdFailed;
        } else {
            product.SetID(id);
            db::Recordset row;
            row.Open("select * from tProduct where ProductID = 0", connection,
                     db::CursorType::Keyset, db::LockType::Optimistic);
            row.AddNew();
            if (FAILED(CDBUtil::SaveProductData(row, &product))) {
                row.CancelUpdate();
                failure = kAddFailed;
            } else {
                row.Update();
                row.Close();
                if (!RealAddVersions(connection, product)) {
                    FailLogOnly(0, kSource, kAddFailed);
                    failure = kAddFailed;
                } else {
                    transaction.Commit();
                }
            }
        }
    } catch (const db::DbError& error) {
        log::LogComError(2, "ProductSet::ReadAddProduct", error);
        failure = error.Description();
    }
    if (!failure) return S_OK;
    before.Restore(product);
    return Fail(Info(), *failure, 0, kAddSource, "Add product failed!");
}

HRESULT CProductSet::RealUpdateProduct(CProduct* product) {
    constexpr const char* kSource = "IProductSet::RealUpdateProduct";
    if (!product) return FailLogOnly(0, kSource, "product interface is not valid");
    const LONG id = product->Data().id;
    if (id == 0) return FailLogOnly(0, kSource, "Cannot update the product(id is 0)");
    const StoredIds before(*product);
    try {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        db::Recordset row;
        row.Open("select * from tProduct where productid = ?", {db::Value::Int(id)}, connection,
                 db::CursorType::Keyset, db::LockType::Optimistic);
        if (row.IsEOF())
            return FailLogOnly(
                0, kSource, "Product(ID=" + std::to_string(id) + ") does not exist, Update failed");
        if (FAILED(CDBUtil::SaveProductData(row, product))) {
            row.CancelUpdate();
            return E_FAIL;
        }
        row.Update();
        row.Close();
        if (!SyncVersions(connection, *product)) {
            before.Restore(*product);
            return E_FAIL;
        }
        transaction.Commit();
        return S_OK;
    } catch (const db::DbError& error) {
        log::LogComError(2, kSource, error);
        before.Restore(*product);
        return E_FAIL;
    }
}

HRESULT CProductSet::RealDeleteProduct(LONG productId) {
    const std::vector<db::Value> key{db::Value::Int(productId)};
    return GuardStep(2, "CProductSet::RealDeleteProduct", [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        {
            db::Recordset versions;
            versions.Open("SELECT VersionID FROM tVersion WHERE ProductID = ?", key, connection,
                          db::CursorType::Keyset, db::LockType::Optimistic);
            while (!versions.IsEOF()) {
                DeleteBugsOfVersion(connection, VariantToLong(versions.GetValue(0)));
                versions.Delete();
                versions.MoveNext();
            }
        }
        DeleteRows(connection, "SELECT ProductID FROM tClassification WHERE ProductID = ?", key);
        {
            // The product's roles stay, bound to no product.
            db::Recordset roles;
            roles.Open("SELECT ProductID FROM tRole WHERE ProductID=?", key, connection,
                       db::CursorType::Keyset, db::LockType::Optimistic);
            for (; !roles.IsEOF(); roles.MoveNext()) {
                roles.SetValue(0, db::Value::Int(0));
                roles.Update();
            }
        }
        DeleteRows(connection, "SELECT * FROM tProduct WHERE ProductID = ?", key);
        transaction.Commit();
        return S_OK;
    });
}

HRESULT CProductSet::get_Count(LONG* pVal) {
    return CountOut(pVal);
}

HRESULT CProductSet::get_Item(LONG iIndex, IProduct** pVal) {
    return ItemOut(iIndex, "IProductSet::Item", pVal);
}

HRESULT CProductSet::get_ExeContext(IExeContext** pVal) {
    return ContextOut(pVal);
}

HRESULT CProductSet::Add(IProduct* pProduct) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kAddProduct);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        CProduct* product = ImplementationOf<CProduct>(pProduct);
        if (!product) return Fail(Info(), "Add product failed!", 0, kAddSource, "Invalid product");
        ReserveOneMore();
        if (const HRESULT failed = RealAddProduct(*product); FAILED(failed)) return failed;
        AppendItem(ComPtr<CProduct>(product));
        return S_OK;
    });
}

HRESULT CProductSet::Update() {
    // A right that cannot be read at all is refused under another action text than a flag of 0.
    if (const HRESULT refused =
            CheckPermission(context_.Get(), Info(), kUpdateProduct, "edit product");
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        if (FAILED(RealUpdateProduct(current_.Get())))
            return Fail(Info(), "Update product failed!\n");
        return S_OK;
    });
}

HRESULT CProductSet::Refresh() {
    return S_OK;
}

HRESULT CProductSet::DeleteAt(size_t index) {
    if (FAILED(RealDeleteProduct(items_[index]->Data().id))) return Fail(Info(), kDeleteFailed);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return S_OK;
}

HRESULT CProductSet::DeleteByID(LONG ID) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kDeleteProduct);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i]->Data().id == ID) return DeleteAt(i);
        const std::string missing = "Product(ID=" + std::to_string(ID) + ") is not in this set";
        return Fail(Info(), missing, 0, "CCProductSet::DeleteByID", missing);
    });
}

HRESULT CProductSet::DeleteByIndex(LONG iIndex) {
    if (!HoldsIndex(iIndex)) return IndexFailure("CProductSet::DeleteByIndex");
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kDeleteProduct);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        return DeleteAt(static_cast<size_t>(iIndex));
    });
}

HRESULT CProductSet::Remove(LONG iIndex) {
    return EraseAt(iIndex, "IProductSet::Remove");
}

HRESULT CProductSet::Append(IProduct* pProduct) {
    return AppendOut(pProduct, SameId::Skipped);
}

} // namespace velmora::engine
