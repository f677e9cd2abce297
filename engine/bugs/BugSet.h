#pragma once
// The scrolling cursor over rows of tBugReport through which bugs are added, changed and deleted.
// It runs one statement built from a filter set, hands out the current row as a new bug, can be
// re-sorted by any bug column and narrowed by an attached filter set without re-running the
// statement. The cursor is client-side, fetched 200 rows at a time, and opened on the session's
// connection.
#include <string>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/db/Database.h"

namespace velmora::engine {

class CBug;
struct BugData;

class CBugSet : public CoClass<IBugSetStub, classes::BugSet> {
  public:
    CBugSet();
    ~CBugSet() override;

    // Engine side: the session the set checks rights with and hands to its bugs; set by the
    // session that creates the set.
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    const com::ComPtr<IExeContext>& Context() const { return context_; }
    // The statement the cursor was last opened with; empty while it is closed.
    std::string StatementText() const;

    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** pVal) override;

    // Opening, sorting and closing the cursor (BugSet.cpp).
    HRESULT STDMETHODCALLTYPE Open(IBugFilterSet* pFilterSet) override;
    HRESULT STDMETHODCALLTYPE Sort(eBugField Field, eOrder order) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_FilterSet(IBugFilterSet** pVal) override;
    HRESULT STDMETHODCALLTYPE put_FilterSet(IBugFilterSet* newVal) override;

    // Walking and reading rows (BugSetWalk.cpp).
    HRESULT STDMETHODCALLTYPE First() override;
    HRESULT STDMETHODCALLTYPE Next() override;
    // A cursor that fails reports the end, so that a loop waiting for the end stops.
    HRESULT STDMETHODCALLTYPE IsEnd(LONG* bEnd) override;
    HRESULT STDMETHODCALLTYPE get_CurItem(IBug** pVal) override;
    HRESULT STDMETHODCALLTYPE GetBugByID(LONG ID, IBug** ppBug) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Position(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Position(LONG newVal) override;

    // Changing rows (BugSetUpdate.cpp).
    HRESULT STDMETHODCALLTYPE Add(IBug* pBug, IBug** pRetBug) override;
    HRESULT STDMETHODCALLTYPE Update(IBug* pBug) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    // Deletes the bug of the current row and leaves the cursor on the row that followed it.
    HRESULT STDMETHODCALLTYPE Remove() override;

  private:
    // Opens the closed cursor on the statement (throws db::DbError).
    void OpenCursor(const std::string& statement);
    // Sets the attached filter set's condition as the cursor's row filter. False when the filter
    // set could not give its condition; throws db::DbError.
    bool ApplyRowFilter();
    // A new bug filled from the current row and bound to the session, or an E_FAIL with the
    // description `failure`.
    HRESULT HandOutCurrentBug(const char* failure, IBug** out);

    bool RealAddBug(CBug* bug);
    // Deletes the bug and its attachments in one transaction and re-runs the set; false when
    // nothing was deleted.
    bool RealDeleteBug(LONG id);
    void UpdateColumn(const BugData& bug, LONG field);
    // Drops a half-written row change so that it cannot be saved by a later move.
    void DiscardPendingChange() noexcept;

    com::ComPtr<IExeContext> context_;
    com::ComPtr<IBugFilterSet> filterSet_;
    db::Recordset cursor_; // after context_: closed before the session's connection goes
};

} // namespace velmora::engine
