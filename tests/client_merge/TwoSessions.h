#pragma once
// Engine sessions of several users on one demo database, the way two colleagues work on it, and
// a bug set that counts and can interfere with the updates passed through it.
#include <QString>

#include <functional>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

struct UserSession {
    ComPtr<IExeContext> context;
    ComPtr<IBugSet> bugs; // the bug list of the active version
    LONG userID = 0;
    LONG versionID = 0;
};

// Opens the database, logs the user in (password login + "-demo", or empty for Admin), makes
// Harbor Ledger's version active and opens its bug list.
UserSession OpenUserSession(const QString& database, const QString& login,
                            const QString& version = QStringLiteral("2.0"));

// A new bug of the session's version, stored through its list.
LONG StoreNewBug(UserSession& session, const QString& description, const QString& status);

// The bug as stored now, read through a set opened afresh.
ComPtr<IBug> ReadStoredBug(UserSession& session, LONG id);

// A bug set that passes every call to the real one, counts the updates and, before an update,
// runs a hook (a colleague saving just then) or refuses the update outright.
class ObservedBugSet : public IBugSet {
  public:
    static ComPtr<ObservedBugSet> Wrap(ComPtr<IBugSet> inner);

    int updates = 0;
    // Runs before update number n (1-based) is passed on.
    std::function<void(int n)> beforeUpdate;
    // Refuses every update with E_FAIL instead of passing it on.
    bool refuseUpdates = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    HRESULT STDMETHODCALLTYPE get_CurItem(IBug** bug) override { return inner_->get_CurItem(bug); }
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** context) override {
        return inner_->get_ExeContext(context);
    }
    HRESULT STDMETHODCALLTYPE Add(IBug* bug, IBug** stored) override {
        return inner_->Add(bug, stored);
    }
    HRESULT STDMETHODCALLTYPE Remove() override { return inner_->Remove(); }
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG id) override { return inner_->RemoveByID(id); }
    HRESULT STDMETHODCALLTYPE First() override { return inner_->First(); }
    HRESULT STDMETHODCALLTYPE Next() override { return inner_->Next(); }
    HRESULT STDMETHODCALLTYPE IsEnd(LONG* end) override { return inner_->IsEnd(end); }
    HRESULT STDMETHODCALLTYPE Refresh() override { return inner_->Refresh(); }
    HRESULT STDMETHODCALLTYPE Update(IBug* bug) override;
    HRESULT STDMETHODCALLTYPE get_FilterSet(IBugFilterSet** filter) override {
        return inner_->get_FilterSet(filter);
    }
    HRESULT STDMETHODCALLTYPE put_FilterSet(IBugFilterSet* filter) override {
        return inner_->put_FilterSet(filter);
    }
    HRESULT STDMETHODCALLTYPE GetBugByID(LONG id, IBug** bug) override {
        return inner_->GetBugByID(id, bug);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override { return inner_->get_Count(count); }
    HRESULT STDMETHODCALLTYPE Sort(eBugField field, eOrder order) override {
        return inner_->Sort(field, order);
    }
    HRESULT STDMETHODCALLTYPE Open(IBugFilterSet* filter) override { return inner_->Open(filter); }
    HRESULT STDMETHODCALLTYPE Close() override { return inner_->Close(); }
    HRESULT STDMETHODCALLTYPE get_Position(LONG* position) override {
        return inner_->get_Position(position);
    }
    HRESULT STDMETHODCALLTYPE put_Position(LONG position) override {
        return inner_->put_Position(position);
    }

  private:
    explicit ObservedBugSet(ComPtr<IBugSet> inner) : inner_(std::move(inner)) {}
    virtual ~ObservedBugSet() = default;

    ComPtr<IBugSet> inner_;
    ULONG references_ = 1;
};

} // namespace tarnwick::test
