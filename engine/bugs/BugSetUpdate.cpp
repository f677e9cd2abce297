// Adding, updating and removing bugs through a bug set. Each change is guarded by the current
// right of the set's session.
#include <new>
#include <string>

#include "engine/admin/Permission.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugSet.h"
#include "engine/bugs/BugSetColumns.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/OutParams.h"
#include "engine/db/NextId.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

constexpr GuardedAction kAddBug = {RightFlag::Add, "Add bug", "CBugSet::Add",
                                   "No right to add bug"};
constexpr GuardedAction kDeleteBug = {RightFlag::Delete, "delete bug", "CBugSet::Remove",
                                      "No right to perform this action"};
constexpr const char* kAddFailed = "Add bug failed";
constexpr const char* kUpdateFailed = "Update bug failed!";
constexpr const char* kDeleteFailed = "Delete bug failed!";
constexpr const char* kRealAddSource = "CBugSet::RealAddBug";
constexpr const char* kRealDeleteSource = "CBugSet::RealDeleteBug";

// An empty text counts as no value at all, as a NULL does.
db::Value Normalised(const db::Value& value) {
    if (value.kind() == db::Value::Kind::Text && value.asText().empty()) return db::Value::Null();
    return value;
}

// The fields of any bug: an engine bug's own, another implementation's copied through Copy.
bool ReadBug(IBug* pBug, BugData* data) {
    if (CBug* own = ImplementationOf<CBug>(pBug)) {
        *data = own->Data();
        return true;
    }
    auto copy = CreateObject<CBug>();
    if (FAILED(copy->Copy(pBug))) return false;
    *data = copy->Data();
    return true;
}

} // namespace

void CBugSet::DiscardPendingChange() noexcept {
    try {
        if (cursor_.IsOpen()) cursor_.CancelUpdate();
    } catch (const db::DbError&) {
        // Nothing was pending.
    }
}

HRESULT CBugSet::Add(IBug* pBug, IBug** pRetBug) {
    if (!pRetBug) return E_POINTER;
    *pRetBug = nullptr;
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kAddBug); FAILED(refused))
        return refused;
    if (!pBug) return E_POINTER;
    try {
        CBug* bug = ImplementationOf<CBug>(pBug);
        if (!bug) {
            // The new ID has to be given to the caller's own object.
            return Fail(Info(), kAddFailed, 0, kRealAddSource, "The bug is not a Velmora bug");
        }
        if (!RealAddBug(bug)) return Fail(Info(), kAddFailed);
        bug->SetContext(context_.Get());
        return ReturnObject<IBug>(bug, pRetBug);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool CBugSet::RealAddBug(CBug* bug) {
    const LONG newID = db::GetNextID("NextBugID");
    if (newID == 0) {
        log::LogError(2, kRealAddSource, "GetNextID returns 0");
        return false;
    }
    LONG& id = bug->Data().id;
    const LONG previousID = id;
    id = newID;
    try {
        cursor_.AddNew();
        if (FAILED(CDBUtil::SaveBugData(cursor_, bug))) {
            DiscardPendingChange();
            id = previousID;
            log::LogError(2, kRealAddSource, "SaveBugData return FALSE");
            return false;
        }
        cursor_.Update();
        return true;
    } catch (const db::DbError& error) {
        DiscardPendingChange();
        id = previousID;
        log::LogComError(2, kRealAddSource, error);
        return false;
    }
}

HRESULT CBugSet::Update(IBug* pBug) {
    if (!pBug) return E_POINTER;
    const char* source = "CBugSet::Update";
    try {
        BugData bug;
        if (!ReadBug(pBug, &bug)) return Fail(Info(), kUpdateFailed);
        if (bug.id == 0)
            return Fail(Info(), kUpdateFailed, 0, source, "The updating bug's id is 0");
        // Columns whose right is not granted are left as stored; without a readable right
        // nothing is written.
        com::ComPtr<CRight> right;
        if (FAILED(ReadCurrentRight(context_.Get(), source, &right)))
            return Fail(Info(), kUpdateFailed);

        cursor_.MoveFirst();
        cursor_.Find("BugID=" + std::to_string(bug.id));
        if (cursor_.IsEOF() || cursor_.IsBOF()) {
            cursor_.MoveFirst();
            return Fail(Info(), kUpdateFailed, 0, source, "Cannot find the bug in database");
        }
        const LONG columns = cursor_.FieldCount();
        for (LONG field = 0; field < columns; ++field) {
            const auto guard = BugColumnRight(field);
            if (guard && !right->Flag(*guard)) continue;
            UpdateColumn(bug, field);
        }
        cursor_.Update();
        return S_OK;
    } catch (const db::DbError& error) {
        DiscardPendingChange();
        return FailWithError(Info(), kUpdateFailed, 2, source, error);
    } catch (const std::bad_alloc&) {
        DiscardPendingChange();
        return E_OUTOFMEMORY;
    }
}

void CBugSet::UpdateColumn(const BugData& bug, LONG field) {
    try {
        const std::string column(BugColumnName(field));
        const db::Value wanted = Normalised(BugColumnValue(bug, field));
        if (wanted == Normalised(cursor_.GetValue(column))) return;
        cursor_.SetValue(column, wanted);
    } catch (const db::DbError& error) {
        log::LogComError(2, "CBugSet::UpdateColumn", error);
    }
}

HRESULT CBugSet::RemoveByID(LONG ID) {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kDeleteBug);
        FAILED(refused))
        return refused;
    if (ID == 0)
        return Fail(Info(), kDeleteFailed, 0, kDeleteBug.logSource, "Bug id is 0, cannot remove");
    try {
        if (!RealDeleteBug(ID)) return Fail(Info(), kDeleteFailed);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CBugSet::Remove() {
    if (const HRESULT refused = CheckPermission(context_.Get(), Info(), kDeleteBug);
        FAILED(refused))
        return refused;
    try {
        LONG id = 0;
        LONG row = 0;
        try {
            id = VariantToLong(cursor_.GetValue("BugID"));
            row = cursor_.AbsolutePosition();
        } catch (const db::DbError& error) {
            return FailWithError(Info(), kDeleteFailed, 2, kDeleteBug.logSource, error);
        }
        if (id == 0)
            return Fail(Info(), kDeleteFailed, 0, kDeleteBug.logSource,
                        "Bug id is 0, cannot remove");
        if (!RealDeleteBug(id)) return Fail(Info(), kDeleteFailed);
        // The set was re-run without the bug: the row that followed it took its place.
        return Guard(classes::BugSet, {"Move Next Failed", 2, "CBugSet::Next"}, [&]() -> HRESULT {
            if (row <= cursor_.RecordCount()) {
                cursor_.SetAbsolutePosition(row);
            } else if (cursor_.RecordCount() > 0) {
                cursor_.MoveLast();
                cursor_.MoveNext();
            }
            return S_OK;
        });
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

bool CBugSet::RealDeleteBug(LONG id) {
    const std::string bugID = std::to_string(id);
    bool found = false;
    try {
        db::Connection& connection = cursor_.ActiveConnection();
        db::Transaction transaction(connection); // rolled back unless committed
        db::Recordset attachments;
        attachments.Open("SELECT AttachmentID FROM tAttachment WHERE BugID=?", {db::Value::Int(id)},
                         connection, db::CursorType::Keyset, db::LockType::Optimistic);
        while (!attachments.IsEOF()) {
            attachments.Delete();
            attachments.Update();
            if (!attachments.IsEOF()) attachments.MoveNext();
        }
        attachments.Close();

        db::Recordset row;
        row.Open("SELECT * FROM tBugReport WHERE BugID=?", {db::Value::Int(id)}, connection,
                 db::CursorType::Static, db::LockType::Optimistic);
        found = !row.IsEOF();
        if (found) {
            row.Delete();
            row.Update();
            row.MoveNext();
            row.Close();
            transaction.Commit();
        }
    } catch (const db::DbError& error) {
        log::LogComError(2, kRealDeleteSource, error);
        return false;
    }
    if (!found) {
        log::LogError(2, kRealDeleteSource, "Bug(ID=" + bugID + ") does not exist");
        return false;
    }
    Refresh();
    return true;
}

} // namespace velmora::engine
