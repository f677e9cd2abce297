#include "engine/admin/ClassificationSet.h"

#include <new>
#include <string>

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

constexpr const char* kRightSource = "CClassificationSet::GetRight";
constexpr GuardedAction kAddClass = {RightFlag::Add_Edit_Del_BugClass, "add classification",
                                     kRightSource, nullptr};
constexpr GuardedAction kRemoveClass = {RightFlag::Add_Edit_Del_BugClass, "remove classification",
                                        kRightSource, nullptr};
constexpr GuardedAction kUpdateClass = {RightFlag::Add_Edit_Del_BugClass, "update classification",
                                        kRightSource, nullptr};

constexpr const char* kAddSource = "CClassificationSet::Add";
constexpr const char* kAddFailed = "Add Classification Failed";
constexpr const char* kRemoveFailed = "Remove Classification failed";
constexpr const char* kRemoveByIdFailed = "Remove Classification failed!";
constexpr const char* kRemoveByIndexSource = "IClassificationSet::RemoveByIndex";
constexpr const char* kRealRemoveSource = "CClassificationSet::RealRemoveClass";

// Statements of their own, so a set without a session can still remove by position.
std::string Connection() {
    return db::ProcessConnectionString();
}

bool ProductStored(db::Connection& connection, LONG productId) {
    db::Recordset product;
    product.Open("SELECT ProductID FROM tProduct WHERE ProductID = ?", {db::Value::Int(productId)},
                 connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    return !product.IsEOF();
}

} // namespace

HRESULT CClassificationSet::RealRemoveClass(const CClassification& classification) {
    const ClassificationData& data = classification.Data();
    // A classification that was never stored has no row; bugs without a classification carry
    // ClassID 0 and must not hold it back.
    if (data.id == 0) return S_OK;
    const std::vector<db::Value> key{db::Value::Int(data.id)};
    return GuardStep(2, kRealRemoveSource, [&]() -> HRESULT {
        db::Recordset users;
        users.Open("SELECT ClassID FROM tBugReport WHERE ClassID = ?", key, Connection(),
                   db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        const bool inUse = !users.IsEOF();
        users.Close();
        if (inUse)
            return FailLogOnly(2, kRealRemoveSource,
                               "There are some bugs or features in classification(" + data.name +
                                   "), can't delete it!");
        db::Recordset rows;
        rows.Open("SELECT ClassificationID FROM tClassification WHERE ClassificationID = ?", key,
                  Connection(), db::CursorType::Keyset, db::LockType::Optimistic);
        DeleteEachRow(rows);
        return S_OK;
    });
}

HRESULT CClassificationSet::RemoveAt(size_t index) {
    if (FAILED(RealRemoveClass(*items_[index].Get()))) return E_FAIL;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return S_OK;
}

HRESULT CClassificationSet::Add(IClassification* pClass) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kAddClass); FAILED(refused))
        return refused;
    CClassification* classification = ImplementationOf<CClassification>(pClass);
    if (!classification) return Fail(Info(), kAddFailed, 0, kAddSource, "Invalid classification");
    if (productId_ == 0)
        return Fail(Info(), "ProductID=0, cannot Add", 0, kAddSource, "ProductID=0, cannot Add");
    ClassificationData& data = classification->Data();
    const ClassificationData before = data;
    try {
        const std::string missing =
            "Product(ID=" + std::to_string(productId_) + ") is not in database";
        db::Connection connection;
        connection.Open(Connection());
        if (!ProductStored(connection, productId_))
            return Fail(Info(), missing, 0, kAddSource, missing);
        const LONG id = db::GetNextID("NextClassID");
        if (id == 0) return Fail(Info(), kAddFailed, 9, kAddSource, kAddFailed);

        db::Recordset row;
        row.Open("SELECT * FROM tClassification", connection, db::CursorType::Keyset,
                 db::LockType::Optimistic);
        // Another client may have deleted the product since the check above: it is checked
        // again in the transaction that stores the row, so that no classification outlives it.
        ReserveOneMore();
        db::Transaction transaction(connection);
        if (!ProductStored(connection, productId_))
            return Fail(Info(), missing, 0, kAddSource, missing);
        row.AddNew();
        data.id = id;
        data.productId = productId_;
        row.SetValue("ProductID", db::Value::Int(productId_));
        if (FAILED(CDBUtil::SaveClassData(row, classification))) {
            row.CancelUpdate();
            data = before;
            return Fail(Info(), kAddFailed);
        }
        row.Update();
        transaction.Commit();
        row.Close();
        AppendItem(com::ComPtr<CClassification>(classification));
        return S_OK;
    } catch (const db::DbError& error) {
        data = before;
        return FailWithError(Info(), kAddFailed, 2, kAddSource, error);
    } catch (const std::bad_alloc&) {
        data = before;
        return E_OUTOFMEMORY;
    }
}

HRESULT CClassificationSet::Remove(BSTR bstrName) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kRemoveClass);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        const std::string name = TextOf(bstrName);
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i]->Data().name != name) continue;
            if (FAILED(RemoveAt(i))) return Fail(Info(), kRemoveFailed);
            return S_OK;
        }
        return Fail(Info(), kRemoveFailed, 0, "CClassificationSet::Remove",
                    "Remove Classification(Name=" + name + ") failed");
    });
}

HRESULT CClassificationSet::RemoveByID(LONG ID) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kRemoveClass);
        FAILED(refused))
        return refused;
    return Guard([&]() -> HRESULT {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (items_[i]->Data().id != ID) continue;
            if (FAILED(RemoveAt(i))) return Fail(Info(), kRemoveByIdFailed);
            return S_OK;
        }
        return Fail(Info(), kRemoveByIdFailed, 0, kRemoveByIndexSource,
                    "Remove classification(ID=" + std::to_string(ID) + ") failed");
    });
}

HRESULT CClassificationSet::RemoveByIndex(LONG nIndex) {
    if (!HoldsIndex(nIndex)) return IndexFailure(kRemoveByIndexSource, "Excceed boundary");
    return Guard([&]() -> HRESULT {
        if (FAILED(RemoveAt(static_cast<size_t>(nIndex)))) return Fail(Info(), kRemoveByIdFailed);
        return S_OK;
    });
}

HRESULT CClassificationSet::Update() {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kUpdateClass);
        FAILED(refused))
        return refused;
    constexpr const char* kSource = "CClassificationSet::Update";
    if (!current_)
        return Fail(Info(), "Update Classification failed!", 0, kSource,
                    "Current classification is NULL, can't update");
    return Guard(Info(), {"Update Classification failed", 2, kSource}, [&]() -> HRESULT {
        db::Recordset row;
        row.Open("SELECT ClassificationID, ClassName FROM tClassification WHERE "
                 "ClassificationID = ?",
                 {db::Value::Int(current_->Data().id)}, Connection(), db::CursorType::Keyset,
                 db::LockType::Optimistic);
        // A row deleted meanwhile leaves nothing to write.
        if (!row.IsEOF()) {
            if (SUCCEEDED(CDBUtil::SaveClassData(row, current_.Get())))
                row.Update();
            else
                row.CancelUpdate();
        }
        return S_OK;
    });
}

HRESULT CClassificationSet::get_Item(LONG iIndex, IClassification** pVal) {
    return ItemOut(iIndex, "IClassificationSet::Item", pVal,
                   [&](CClassification& item) { item.SetProductID(productId_); });
}

HRESULT CClassificationSet::get_Count(LONG* pVal) {
    return CountOut(pVal);
}

HRESULT CClassificationSet::get_ProductID(LONG* pVal) {
    return ReturnValue(productId_, pVal);
}

HRESULT CClassificationSet::put_ExeContext(IExeContext* newVal) {
    if (!newVal)
        return Fail(Info(), "Set ExeContext failed!", 0, "CClassificationSet::put_ExeContext",
                    "Invalid Pointer");
    SetContext(newVal);
    return S_OK;
}

HRESULT CClassificationSet::Append(IClassification* pClass) {
    return AppendOut(pClass, SameId::Appended);
}

HRESULT CClassificationSet::DeleteByID(LONG ID) {
    return EraseById(ID, "CClassificationSet::DeleteByID", [](LONG id) {
        return "Classification(ID=" + std::to_string(id) + ") is not in this set";
    });
}

HRESULT CClassificationSet::DeleteByIndex(LONG iIndex) {
    return EraseAt(iIndex, kRemoveByIndexSource);
}

} // namespace velmora::engine
