// The bug's members: plain fields, the identifiers whose names are looked up and cached, and Copy.
// Only the lookups touch the database, each on a short-lived read-only cursor of its own.
#include "engine/bugs/Bug.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

// How one kind of identifier is checked and its name found.
struct NameLookup {
    const char* statement; // one `?` for the identifier
    const char* source;    // log source of every failure
    const char* negativeMessage;
    const char* missingPrefix; // the identifier and ") does not exist" follow
};

constexpr NameLookup kUserLookup = {"SELECT UserName FROM tUser WHERE UserID=?", "GetUserName",
                                    "ReportedByID must be larger than 0", "User(ID="};
constexpr NameLookup kVersionLookup = {
    "SELECT VersionName FROM tVersion WHERE VersionID=?", "GetVersionName",
    "VersionID must be larger than 0", "Version(ID="};
constexpr NameLookup kClassificationLookup = {
    "SELECT ClassName FROM tClassification WHERE ClassificationID=?", "CBug::put_ClassificationID",
    "ClassificationID must be larger than 0", "Classificatin(ID="};

// Moves identifier `value` and its name into the fields: 0 clears the name, a positive value
// takes the name of its row. A failure is logged under the lookup's source, reported to the
// caller as failureText, and leaves both fields unchanged.
HRESULT SetLookedUp(const NameLookup& lookup, LONG value, LONG& id, std::string& name,
                    const char* failureText) {
    const ClassInfo& cls = CBug::Info();
    if (value == 0) {
        id = 0;
        name.clear();
        return S_OK;
    }
    if (value < 0) return Fail(cls, failureText, 0, lookup.source, lookup.negativeMessage);
    return Guard(cls, {failureText, 2, lookup.source}, [&]() -> HRESULT {
        db::Recordset rows;
        rows.Open(lookup.statement, {db::Value::Int(value)}, db::ProcessConnectionString(),
                  db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        if (rows.IsEOF())
            return Fail(cls, failureText, 2, lookup.source,
                        lookup.missingPrefix + std::to_string(value) + ") does not exist");
        std::string found = VariantToString(rows.GetValue(0));
        rows.Close();
        name = std::move(found);
        id = value;
        return S_OK;
    });
}

} // namespace

// Plain fields.

HRESULT CBug::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CBug::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CBug::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

HRESULT CBug::get_Report(BSTR* pVal) {
    return ReturnText(data_.report, pVal);
}
HRESULT CBug::put_Report(BSTR newVal) {
    return StoreText(newVal, data_.report);
}

HRESULT CBug::get_RecreateStep(BSTR* pVal) {
    return ReturnText(data_.recreateStep, pVal);
}
HRESULT CBug::put_RecreateStep(BSTR newVal) {
    return StoreText(newVal, data_.recreateStep);
}

HRESULT CBug::get_Workaround(BSTR* pVal) {
    return ReturnText(data_.workaround, pVal);
}
HRESULT CBug::put_Workaround(BSTR newVal) {
    return StoreText(newVal, data_.workaround);
}

HRESULT CBug::get_Resolution(BSTR* pVal) {
    return ReturnText(data_.resolution, pVal);
}
HRESULT CBug::put_Resolution(BSTR newVal) {
    return StoreText(newVal, data_.resolution);
}

HRESULT CBug::get_Status(BSTR* pVal) {
    return ReturnText(data_.status, pVal);
}
HRESULT CBug::put_Status(BSTR newVal) {
    return StoreText(newVal, data_.status);
}

HRESULT CBug::get_Priority(BSTR* pVal) {
    return ReturnText(data_.priority, pVal);
}
HRESULT CBug::put_Priority(BSTR newVal) {
    return StoreText(newVal, data_.priority);
}

HRESULT CBug::get_Severity(BSTR* pVal) {
    return ReturnText(data_.severity, pVal);
}
HRESULT CBug::put_Severity(BSTR newVal) {
    return StoreText(newVal, data_.severity);
}

HRESULT CBug::get_Reproductive(BSTR* pVal) {
    return ReturnText(data_.reproductive, pVal);
}
HRESULT CBug::put_Reproductive(BSTR newVal) {
    return StoreText(newVal, data_.reproductive);
}

HRESULT CBug::get_ReportedDate(DATE* pVal) {
    return ReturnValue(data_.reportedDate, pVal);
}
HRESULT CBug::put_ReportedDate(DATE newVal) {
    data_.reportedDate = newVal;
    return S_OK;
}

HRESULT CBug::get_FixedDate(DATE* pVal) {
    return ReturnValue(data_.fixedDate, pVal);
}
HRESULT CBug::put_FixedDate(DATE newVal) {
    data_.fixedDate = newVal;
    return S_OK;
}

HRESULT CBug::get_VerifiedDate(DATE* pVal) {
    return ReturnValue(data_.verifiedDate, pVal);
}
HRESULT CBug::put_VerifiedDate(DATE newVal) {
    data_.verifiedDate = newVal;
    return S_OK;
}

HRESULT CBug::get_LastModifiedDate(DATE* pVal) {
    return ReturnValue(data_.lastModifiedDate, pVal);
}
HRESULT CBug::put_LastModifiedDate(DATE newVal) {
    data_.lastModifiedDate = newVal;
    return S_OK;
}

HRESULT CBug::get_EstimatedTime(DATE* pVal) {
    return ReturnValue(data_.estimatedTime, pVal);
}
HRESULT CBug::put_EstimatedTime(DATE newVal) {
    data_.estimatedTime = newVal;
    return S_OK;
}

HRESULT CBug::get_ActualTime(DATE* pVal) {
    return ReturnValue(data_.actualTime, pVal);
}
HRESULT CBug::put_ActualTime(DATE newVal) {
    data_.actualTime = newVal;
    return S_OK;
}

HRESULT CBug::get_DateDue(DATE* pVal) {
    return ReturnValue(data_.dateDue, pVal);
}
HRESULT CBug::put_DateDue(DATE newVal) {
    data_.dateDue = newVal;
    return S_OK;
}

// The type travels as a 32-bit enumeration but any value is accepted, including ones the
// enumeration does not name; it is moved as its bytes so that such values stay well-defined.
HRESULT CBug::get_BugType(tagBugType* pVal) {
    if (!pVal) return E_POINTER;
    const int32_t value = data_.bugType;
    std::memcpy(pVal, &value, sizeof value);
    return S_OK;
}
HRESULT CBug::put_BugType(tagBugType newVal) {
    int32_t value = 0;
    std::memcpy(&value, &newVal, sizeof value);
    data_.bugType = static_cast<SHORT>(value);
    return S_OK;
}

// Looked-up identifiers.

HRESULT CBug::get_ClassificationID(LONG* pVal) {
    return ReturnValue(data_.classificationID, pVal);
}
HRESULT CBug::put_ClassificationID(LONG newVal) {
    return SetLookedUp(kClassificationLookup, newVal, data_.classificationID, data_.classification,
                       "Set ClassificationID failed!");
}

HRESULT CBug::get_ReportedByID(LONG* pVal) {
    return ReturnValue(data_.reportedByID, pVal);
}
HRESULT CBug::put_ReportedByID(LONG newVal) {
    return SetLookedUp(kUserLookup, newVal, data_.reportedByID, data_.reportedBy,
                       "Set ReportedBy ID failed!");
}

HRESULT CBug::get_FixedByID(LONG* pVal) {
    return ReturnValue(data_.fixedByID, pVal);
}
HRESULT CBug::put_FixedByID(LONG newVal) {
    return SetLookedUp(kUserLookup, newVal, data_.fixedByID, data_.fixedBy,
                       "Set FixedBy ID failed!");
}

HRESULT CBug::get_VerifiedByID(LONG* pVal) {
    return ReturnValue(data_.verifiedByID, pVal);
}
HRESULT CBug::put_VerifiedByID(LONG newVal) {
    return SetLookedUp(kUserLookup, newVal, data_.verifiedByID, data_.verifiedBy,
                       "Set VerifiedBy ID failed!");
}

HRESULT CBug::get_LastModifiedByID(LONG* pVal) {
    return ReturnValue(data_.lastModifiedByID, pVal);
}
HRESULT CBug::put_LastModifiedByID(LONG newVal) {
    return SetLookedUp(kUserLookup, newVal, data_.lastModifiedByID, data_.lastModifiedBy,
                       "Set LastModifiedBy ID failed!");
}

HRESULT CBug::get_ReportedInVersionID(LONG* pVal) {
    return ReturnValue(data_.reportedInVersionID, pVal);
}
HRESULT CBug::put_ReportedInVersionID(LONG newVal) {
    return SetLookedUp(kVersionLookup, newVal, data_.reportedInVersionID, data_.reportedInVersion,
                       "Set ReportedInversionID failed!");
}

HRESULT CBug::get_FixedInVersionID(LONG* pVal) {
    return ReturnValue(data_.fixedInVersionID, pVal);
}
HRESULT CBug::put_FixedInVersionID(LONG newVal) {
    return SetLookedUp(kVersionLookup, newVal, data_.fixedInVersionID, data_.fixedInVersion,
                       "Set FixedInversionID failed!");
}

// Cached names.

HRESULT CBug::get_Classification(BSTR* pVal) {
    return ReturnText(data_.classification, pVal);
}
HRESULT CBug::get_ReportedBy(BSTR* pVal) {
    return ReturnText(data_.reportedBy, pVal);
}
HRESULT CBug::get_ReportedInVersion(BSTR* pVal) {
    return ReturnText(data_.reportedInVersion, pVal);
}
HRESULT CBug::get_FixedBy(BSTR* pVal) {
    return ReturnText(data_.fixedBy, pVal);
}
HRESULT CBug::get_FixedInVersion(BSTR* pVal) {
    return ReturnText(data_.fixedInVersion, pVal);
}
HRESULT CBug::get_VerifiedBy(BSTR* pVal) {
    return ReturnText(data_.verifiedBy, pVal);
}
HRESULT CBug::get_LastModifiedBy(BSTR* pVal) {
    return ReturnText(data_.lastModifiedBy, pVal);
}

// A bug is not bound to a product object; a defined null spares the caller an untouched
// out-parameter.
HRESULT CBug::get_Product(IProduct** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return S_OK;
}

// Copy.

HRESULT CBug::Copy(IBug* pBug) {
    if (!pBug) return E_POINTER;
    CBug* source = ImplementationOf<CBug>(pBug);
    if (!source) return E_INVALIDARG; // only an engine bug carries a session to share
    if (source == this) return S_OK;
    return Guard([&] {
        const SHORT ownType = data_.bugType;
        data_ = source->data_;
        data_.bugType = ownType;
        context_ = source->context_;
        return S_OK;
    });
}

} // namespace velmora::engine
