// Name synchronisation: tBugReport keeps a copy of the name beside each user, version and
// classification identifier, so that bug lists and filters work on one table. After renames,
// Synchronize rewrites the stale copies from the current names, all in one transaction.
#include <string>
#include <utility>
#include <vector>

#include "engine/admin/Permission.h"
#include <velmora/ComSupport.h>

#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

const ClassInfo& kClass = classes::ExeContext;

// Sets the only field of every row of the statement to `name`.
void RewriteCopies(db::Connection& connection, const std::string& statement,
                   std::vector<db::Value> parameters, const std::string& name,
                   db::CursorType cursor) {
    db::Recordset rows;
    rows.Open(statement, std::move(parameters), connection, cursor, db::LockType::Optimistic);
    for (; !rows.IsEOF(); rows.MoveNext()) {
        rows.SetValue(0, TextToField(name));
        rows.Update();
    }
}

// Rewrites the copies in `columns` (pairs of name column and identifier column) that differ from
// the current name of the user or version `id`.
template <size_t N>
void RewriteStaleCopies(db::Connection& connection, const char* const (&columns)[N][2], LONG id,
                        const std::string& name) {
    for (const auto& column : columns) {
        const std::string nameColumn = column[0];
        RewriteCopies(connection,
                      "SELECT " + nameColumn + " FROM tBugReport WHERE " + column[1] + " = ? AND " +
                          nameColumn + " <> ?",
                      {db::Value::Int(id), db::Value::Text(name)}, name, db::CursorType::Keyset);
    }
}

constexpr const char* kUserCopies[][2] = {
    {"ReportedBy", "ReportedByID"}, {"FixedBy", "FixedByID"}, {"VerifiedBy", "VerifiedByID"}};
constexpr const char* kVersionCopies[][2] = {{"ReportedInVersion", "ReportedInVersionID"},
                                             {"FixedInVersion", "FixedInVersionID"}};

} // namespace

bool CExeContext::SynUser() {
    const char* source = "CExeContext::SynUser";
    return GuardStep(2, source, [&] {
        ComPtr<IUserSet> users;
        LONG count = 0;
        if (FAILED(get_AllUser(users.Put())) || FAILED(users->get_Count(&count))) {
            log::LogError(0, source, "Get All user set failed");
            return false;
        }
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IUser> user;
            if (FAILED(users->get_Item(i, user.Put()))) {
                log::LogError(0, source, "get_Item failed");
                return false;
            }
            com::Bstr name;
            LONG id = 0;
            user->get_UserName(name.Put());
            user->get_ID(&id);
            RewriteStaleCopies(connection_, kUserCopies, id, TextOf(name.Get()));
        }
        return true;
    });
}

bool CExeContext::SynVersion() {
    const char* source = "CExeContext::SynVersion";
    return GuardStep(2, source, [&] {
        ComPtr<IProductSet> products;
        LONG productCount = 0;
        if (FAILED(get_ProductSet(products.Put())) || FAILED(products->get_Count(&productCount))) {
            log::LogError(0, source, "Get App set failed");
            return false;
        }
        for (LONG p = 0; p < productCount; ++p) {
            ComPtr<IProduct> product;
            LONG versionCount = 0;
            if (FAILED(products->get_Item(p, product.Put())) ||
                FAILED(product->get_VersionCount(&versionCount))) {
                log::LogError(0, source, "get_Item failed");
                return false;
            }
            for (LONG v = 0; v < versionCount; ++v) {
                ComPtr<IVersion> version;
                if (FAILED(product->get_Version(v, version.Put()))) {
                    log::LogError(0, source, "get version failed");
                    return false;
                }
                com::Bstr name;
                LONG id = 0;
                version->get_Name(name.Put());
                version->get_ID(&id);
                RewriteStaleCopies(connection_, kVersionCopies, id, TextOf(name.Get()));
            }
        }
        return true;
    });
}

bool CExeContext::SynClass() {
    return GuardStep(2, "CExeContext::SynClass", [&] {
        db::Recordset classes;
        classes.Open("SELECT ClassificationID, ClassName FROM tClassification", connection_,
                     db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !classes.IsEOF(); classes.MoveNext()) {
            // Every bug of the classification is rewritten, whether or not its copy differs.
            RewriteCopies(connection_,
                          "SELECT Classification FROM tBugReport WHERE ClassID=?",
                          {db::Value::Int(VariantToLong(classes.GetValue(0)))}, VariantToString(classes.GetValue(1)), db::CursorType::Static);
        }
        return true;
    });
}

HRESULT CExeContext::Synchronize() {
    const char* source = "CExeContext::Synchronize";
    const char* failed = "Synchronization Failed!";
    if (!isAdmin_) {
        const GuardedAction synchronize = {RightFlag::EditProduct, "synchronize the database",
                                           source, "Have no permission!"};
        if (const HRESULT refused = CheckSessionPermission(
                this, kClass, synchronize, RightPath::CurrentRight, "Have no permission!");
            FAILED(refused))
            return refused;
    }
    return Guard(kClass, {failed, 2, source}, [&] {
        db::Transaction transaction(connection_); // rolled back unless committed
        if (!SynUser() || !SynVersion() || !SynClass()) return Fail(kClass, failed);
        transaction.Commit();
        return S_OK;
    });
}

} // namespace velmora::engine
