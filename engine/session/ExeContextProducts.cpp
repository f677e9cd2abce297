// The session's product lists: each call reads the products afresh, with their versions, into a
// new set bound to this session, so the set's changes are guarded by the session's right.
#include <string>
#include <vector>

#include "engine/admin/ProductSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

constexpr const char* kProductsFailed = "Get current user's product failded";

// Maps the current product row, with its versions, and appends it to the set.
bool AppendRow(db::Recordset& row, CProductSet& set) {
    auto product = CreateObject<CProduct>();
    if (FAILED(CDBUtil::GetProductData(row, product.Get()))) return false;
    set.AppendItem(std::move(product));
    return true;
}

} // namespace

HRESULT CExeContext::get_ProductSet(IProductSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return Guard(Info(), {kProductsFailed, 2, "CExeContext::get_ProductSet"}, [&]() -> HRESULT {
        auto set = CreateObject<CProductSet>();
        set->SetContext(this);
        db::Recordset rows;
        rows.Open("SELECT * FROM tProduct", connection_, db::CursorType::Static,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext())
            if (!AppendRow(rows, *set.Get())) return Fail(Info(), kProductsFailed);
        return ReturnObject<IProductSet>(set, pVal);
    });
}

HRESULT CExeContext::get_CurUserProductSet(IProductSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    constexpr OnFailure kFailed = {kProductsFailed, 2, "CExeContext::get_CurUserProductSet",
                                   Logged::ErrorDescription};
    return Guard(Info(), kFailed, [&]() -> HRESULT {
        auto set = CreateObject<CProductSet>();
        set->SetContext(this);
        // One entry per role of the user bound to a product: a product reached through two roles
        // is listed twice.
        std::vector<LONG> productIds;
        {
            db::Recordset roles;
            roles.Open("SELECT ProductID FROM tRole,tUserRole WHERE userID=? AND "
                       "tUserRole.RoleID = tRole.RoleID",
                       {db::Value::Int(curUserID_)}, connection_, db::CursorType::Static, db::LockType::ReadOnly);
            for (; !roles.IsEOF(); roles.MoveNext()) {
                const LONG id = VariantToLong(roles.GetValue(0));
                if (id != 0) productIds.push_back(id);
            }
        }
        db::Recordset products;
        products.Open("SELECT * FROM tProduct", connection_, db::CursorType::Static,
                      db::LockType::ReadOnly);
        for (const LONG id : productIds) {
            products.SetFilter("ProductID = " + std::to_string(id));
            if (!products.IsEOF() && !AppendRow(products, *set.Get()))
                return Fail(Info(), kProductsFailed);
        }
        return ReturnObject<IProductSet>(set, pVal);
    });
}

} // namespace velmora::engine
