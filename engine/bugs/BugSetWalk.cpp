// Walking a bug set's cursor and handing out its rows as bugs.
#include <new>
#include <string>

#include "engine/bugs/Bug.h"
#include "engine/bugs/BugSet.h"
#include "engine/bugs/BugSetRowCount.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/OutParams.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::engine {

HRESULT CBugSet::First() {
    return Guard(classes::BugSet, {"Move First Failed", 2, "CBugSet::First"}, [&]() -> HRESULT {
        if (!(cursor_.IsEOF() && cursor_.IsBOF())) cursor_.MoveFirst();
        return S_OK;
    });
}

HRESULT CBugSet::Next() {
    return Guard(classes::BugSet, {"Move Next Failed", 2, "CBugSet::Next"}, [&]() -> HRESULT {
        cursor_.MoveNext();
        return S_OK;
    });
}

HRESULT CBugSet::IsEnd(LONG* bEnd) {
    if (!bEnd) return E_POINTER;
    try {
        *bEnd = cursor_.IsEOF() || cursor_.IsBOF() ? 1 : 0;
    } catch (const db::DbError& error) {
        log::LogComError(2, "CBugSet::IsEnd", error);
        *bEnd = 1;
    }
    return S_OK;
}

HRESULT CBugSet::HandOutCurrentBug(const char* failure, IBug** out) {
    auto bug = CreateObject<CBug>();
    if (FAILED(CDBUtil::GetBugData(cursor_, bug.Get()))) return Fail(Info(), failure);
    bug->SetContext(context_.Get());
    return ReturnObject<IBug>(bug, out);
}

HRESULT CBugSet::get_CurItem(IBug** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const char* failure = "Get current item failed!";
    return Guard(classes::BugSet, {failure, 2, "CBugSet::get_CurItem"}, [&]() -> HRESULT {
        if (cursor_.IsEOF() || cursor_.IsBOF() || cursor_.RecordCount() == 0) return S_OK;
        return HandOutCurrentBug(failure, pVal);
    });
}

HRESULT CBugSet::GetBugByID(LONG ID, IBug** ppBug) {
    if (!ppBug) return E_POINTER;
    *ppBug = nullptr;
    const char* failure = "Get Bug Failed!";
    const char* source = "CBugSet::GetBugByID";
    return Guard(classes::BugSet, {failure, 2, source}, [&]() -> HRESULT {
        cursor_.MoveFirst();
        cursor_.Find("BugID=" + std::to_string(ID));
        if (cursor_.IsEOF()) {
            cursor_.MoveFirst();
            return Fail(Info(), failure, 0, source,
                        "Get Bug(ID=" + std::to_string(ID) + ") Failed!");
        }
        return HandOutCurrentBug(failure, ppBug);
    });
}

HRESULT CBugSet::get_Count(LONG* pVal) {
    if (!pVal) return E_POINTER;
    return Guard(classes::BugSet, {"Get count of bugs failed!", 2, "CBugSet::get_Count"}, [&]() -> HRESULT {
        *pVal = cursor_.SupportsPositioning() ? cursor_.RecordCount()
                                              : CountRowsKeepingPosition(cursor_);
        return S_OK;
    });
}

HRESULT CBugSet::get_Position(LONG* pVal) {
    if (!pVal) return E_POINTER;
    return Guard(classes::BugSet, {"Get position failed!", 2, "CBugSet::get_Position"}, [&]() -> HRESULT {
        *pVal = cursor_.AbsolutePosition() - 1;
        return S_OK;
    });
}

HRESULT CBugSet::put_Position(LONG newVal) {
    return Guard(classes::BugSet, {"Set position failed!", 2, "CBugSet::put_Position"}, [&]() -> HRESULT {
        if (cursor_.IsEOF() || cursor_.IsBOF()) return S_OK;
        // A row number outside the set becomes 0, which the cursor refuses like any other
        // position off its rows (and newVal + 1 cannot overflow).
        const bool onRows = newVal >= 0 && newVal < cursor_.RecordCount();
        cursor_.SetAbsolutePosition(onRows ? newVal + 1 : 0);
        return S_OK;
    });
}

} // namespace velmora::engine
