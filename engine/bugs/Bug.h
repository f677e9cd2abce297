#pragma once
// One bug report or feature request, detached from its row of tBugReport. Reading and writing
// its properties never touches the table: a bug set reads rows into bugs and writes them back.
#include <string>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CBug : public CoClass<IBugStub, classes::Bug>, public MappedRow<BugData> {
  public:
    // Engine side: the fields as held, and the session of the bug set that produced or added the
    // bug (its attachment list checks rights through it).
    const com::ComPtr<IExeContext>& Context() const { return context_; }
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }

    // A new attachment list read from tAttachment, carrying this bug's ID and session
    // (BugAttachments.cpp).
    HRESULT STDMETHODCALLTYPE get_AttachedFiles(IFileSet** pVal) override;

    // Plain fields: getters hand out copies, setters store the value as given.
    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Report(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Report(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_RecreateStep(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RecreateStep(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Workaround(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Workaround(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Resolution(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Resolution(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Status(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Status(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Priority(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Priority(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Severity(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Severity(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Reproductive(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Reproductive(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ReportedDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ReportedDate(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_FixedDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FixedDate(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_VerifiedDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_VerifiedDate(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_LastModifiedDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_LastModifiedDate(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_EstimatedTime(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_EstimatedTime(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_ActualTime(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ActualTime(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_DateDue(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DateDue(DATE newVal) override;
    HRESULT STDMETHODCALLTYPE get_BugType(tagBugType* pVal) override;
    HRESULT STDMETHODCALLTYPE put_BugType(tagBugType newVal) override;

    // Identifiers whose setters look the name up in its table and cache it; a failed lookup
    // leaves identifier and name as they were.
    HRESULT STDMETHODCALLTYPE get_ClassificationID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ClassificationID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ReportedByID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ReportedByID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ReportedInVersionID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ReportedInVersionID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_FixedByID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FixedByID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_FixedInVersionID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FixedInVersionID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_VerifiedByID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_VerifiedByID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_LastModifiedByID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_LastModifiedByID(LONG newVal) override;

    // The cached names, read-only.
    HRESULT STDMETHODCALLTYPE get_Classification(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ReportedBy(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ReportedInVersion(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_FixedBy(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_FixedInVersion(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_VerifiedBy(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_LastModifiedBy(BSTR* pVal) override;

    // The bug holds no product: succeeds with a null product.
    HRESULT STDMETHODCALLTYPE get_Product(IProduct** pVal) override;

    // Makes this bug a copy of pBug without lookups: every field but BugType, and the session.
    // pBug must be a bug of this engine (E_INVALIDARG otherwise, E_POINTER for null).
    HRESULT STDMETHODCALLTYPE Copy(IBug* pBug) override;

  private:
    com::ComPtr<IExeContext> context_;
};

} // namespace velmora::engine
