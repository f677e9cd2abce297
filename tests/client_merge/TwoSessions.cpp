#include "tests/client_merge/TwoSessions.h"

namespace tarnwick::test {

UserSession OpenUserSession(const QString& database, const QString& login, const QString& version) {
    UserSession session;
    session.context = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session.context->OpenAccessDB(ToBstr(database).Get()));
    const QString password = login == QStringLiteral("Admin") ? QString() : login + "-demo";
    Check(session.context->Login(ToBstr(login).Get(), ToBstr(password).Get()));
    auto products = Object(session.context.Get(), &IExeContext::get_CurUserProductSet);
    for (LONG p = 0; p < Long(products.Get(), &IProductSet::get_Count); ++p) {
        auto product = Item(products.Get(), &IProductSet::get_Item, p);
        if (Text(product.Get(), &IProduct::get_Name) != QStringLiteral("Harbor Ledger")) continue;
        for (LONG v = 0; v < Long(product.Get(), &IProduct::get_VersionCount); ++v) {
            auto candidate = Item(product.Get(), &IProduct::get_Version, v);
            if (Text(candidate.Get(), &IVersion::get_Name) == version)
                session.versionID = Long(candidate.Get(), &IVersion::get_ID);
        }
    }
    Check(session.context->SetActiveProduct(session.versionID));
    session.userID = Long(session.context.Get(), &IExeContext::get_CurUserID);
    Check(session.context->OpenBugSet(nullptr, session.bugs.Put()));
    return session;
}

LONG StoreNewBug(UserSession& session, const QString& description, const QString& status) {
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
    Check(bug->put_Description(ToBstr(description).Get()));
    Check(bug->put_Status(ToBstr(status).Get()));
    Check(bug->put_Priority(ToBstr(QStringLiteral("Normal")).Get()));
    Check(bug->put_Severity(ToBstr(QStringLiteral("Normal")).Get()));
    Check(bug->put_Reproductive(ToBstr(QStringLiteral("Sometimes")).Get()));
    Check(bug->put_Report(ToBstr(QStringLiteral("{\\rtf1\\ansi What happens\\par}")).Get()));
    Check(bug->put_ReportedByID(session.userID));
    Check(bug->put_ReportedInVersionID(session.versionID));
    Check(bug->put_BugType(eBug));
    ComPtr<IBug> stored;
    Check(session.bugs->Add(bug.Get(), stored.Put()));
    return Long(stored.Get(), &IBug::get_ID);
}

ComPtr<IBug> ReadStoredBug(UserSession& session, LONG id) {
    ComPtr<IBugSet> fresh;
    Check(session.context->OpenBugSet(nullptr, fresh.Put()));
    ComPtr<IBug> bug;
    if (FAILED(fresh->GetBugByID(id, bug.Put()))) return {};
    return bug;
}

ComPtr<ObservedBugSet> ObservedBugSet::Wrap(ComPtr<IBugSet> inner) {
    return ComPtr<ObservedBugSet>::Adopt(new ObservedBugSet(std::move(inner)));
}

HRESULT ObservedBugSet::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IBugSet) {
        *object = static_cast<IBugSet*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ObservedBugSet::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT ObservedBugSet::GetTypeInfoCount(UINT* count) {
    return inner_->GetTypeInfoCount(count);
}
HRESULT ObservedBugSet::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return inner_->GetTypeInfo(index, lcid, info);
}
HRESULT ObservedBugSet::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                      DISPID* ids) {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
}
HRESULT ObservedBugSet::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    return inner_->Invoke(id, riid, lcid, flags, params, result, exception, argError);
}

HRESULT ObservedBugSet::Update(IBug* bug) {
    ++updates;
    if (beforeUpdate) beforeUpdate(updates);
    if (refuseUpdates) return E_FAIL;
    return inner_->Update(bug);
}

} // namespace tarnwick::test
