#include "tests/client_filtereditor/FilterEditorTestSupport.h"

#include <QComboBox>
#include <QDate>
#include <QListWidget>
#include <QTreeWidget>

#include <atomic>

#include "client/filters/FilterListBuilder.h"
#include "tests/client_config/FilterTestSupport.h"

namespace tarnwick::test {

ComPtr<IExeContext> OpenSession(const QString& database) {
    auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session->OpenAccessDB(ToBstr(database).Get()));
    Check(session->Login(ToBstr(QStringLiteral("mhart")).Get(),
                         ToBstr(QStringLiteral("mhart-demo")).Get()));
    LONG most = -1;
    LONG chosen = 0;
    const auto products = Object(session.Get(), &IExeContext::get_CurUserProductSet);
    const LONG productCount = Long(products.Get(), &IProductSet::get_Count);
    for (LONG p = 0; p < productCount; ++p) {
        const auto product = Item(products.Get(), &IProductSet::get_Item, p);
        const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
        for (LONG v = 0; v < versions; ++v) {
            const LONG id =
                Long(Item(product.Get(), &IProduct::get_Version, v).Get(), &IVersion::get_ID);
            if (FAILED(session->SetActiveProduct(id))) continue;
            ComPtr<IBugSet> bugs;
            if (FAILED(session->OpenBugSet(nullptr, bugs.Put()))) continue;
            const LONG count = Long(bugs.Get(), &IBugSet::get_Count);
            if (count > most) {
                most = count;
                chosen = id;
            }
        }
    }
    Check(session->SetActiveProduct(chosen));
    return session;
}

FilterList BuildList(IExeContext* session, const QString& filterFile) {
    FilterList list;
    BuildFilterList(session, list, filterFile, QDate::currentDate());
    return list;
}

QStringList NamesOf(const FilterList& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << Text(list.GetAt(i).Get(), &IBugFilterSet::get_Name);
    return names;
}

QStringList DescribeList(const FilterList& list) {
    QStringList lines;
    for (int i = 0; i < list.Count(); ++i) {
        lines << Text(list.GetAt(i).Get(), &IBugFilterSet::get_Name);
        lines += Describe(list.GetAt(i).Get());
    }
    return lines;
}

QStringList Rows(const QTreeWidget* conditions) {
    QStringList rows;
    for (int i = 0; i < conditions->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = conditions->topLevelItem(i);
        rows << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(
            QLatin1Char('|'));
    }
    return rows;
}

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList Texts(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

namespace {

class RefusingSet final : public IBugFilterSet {
  public:
    explicit RefusingSet(ComPtr<IBugFilterSet> wrapped) : wrapped_(std::move(wrapped)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IBugFilterSet) {
            AddRef();
            *object = static_cast<IBugFilterSet*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override { return wrapped_->get_Name(name); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return wrapped_->put_Name(name); }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override { return wrapped_->get_Count(count); }
    HRESULT STDMETHODCALLTYPE Add(IBugFilter* filter) override { return wrapped_->Add(filter); }
    HRESULT STDMETHODCALLTYPE Remove(LONG index) override { return wrapped_->Remove(index); }
    HRESULT STDMETHODCALLTYPE GetSQL(BSTR* sql) override { return wrapped_->GetSQL(sql); }
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IBugFilter** filter) override {
        return wrapped_->get_Item(index, filter);
    }
    HRESULT STDMETHODCALLTYPE AddBatch(IBugFilterSet*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE get_NewGroup(LONG* group) override {
        return wrapped_->get_NewGroup(group);
    }
    HRESULT STDMETHODCALLTYPE put_NewGroup(LONG group) override {
        return wrapped_->put_NewGroup(group);
    }

  private:
    ComPtr<IBugFilterSet> wrapped_;
    std::atomic<ULONG> references_{1};
};

} // namespace

ComPtr<IBugFilterSet> RefusingAddBatch(ComPtr<IBugFilterSet> wrapped) {
    return ComPtr<IBugFilterSet>::Adopt(new RefusingSet(std::move(wrapped)));
}

} // namespace tarnwick::test
