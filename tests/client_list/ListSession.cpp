#include "tests/client_list/ListSession.h"

#include <QList>

namespace tarnwick::test {

ListSession OpenListSession(const QString& database, LONG versionID) {
    ListSession session;
    session.context = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session.context->OpenAccessDB(ToBstr(database).Get()));
    Check(session.context->Login(ToBstr(QStringLiteral("mhart")).Get(),
                                 ToBstr(QStringLiteral("mhart-demo")).Get()));
    if (versionID == 0) {
        LONG most = -1;
        auto products = Object(session.context.Get(), &IExeContext::get_CurUserProductSet);
        const LONG productCount = Long(products.Get(), &IProductSet::get_Count);
        for (LONG p = 0; p < productCount; ++p) {
            auto product = Item(products.Get(), &IProductSet::get_Item, p);
            const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
            for (LONG v = 0; v < versions; ++v) {
                const LONG id =
                    Long(Item(product.Get(), &IProduct::get_Version, v).Get(), &IVersion::get_ID);
                if (FAILED(session.context->SetActiveProduct(id))) continue;
                ComPtr<IBugSet> bugs;
                if (FAILED(session.context->OpenBugSet(nullptr, bugs.Put()))) continue;
                const LONG count = Long(bugs.Get(), &IBugSet::get_Count);
                if (count > most) {
                    most = count;
                    versionID = id;
                }
            }
        }
    }
    Check(session.context->SetActiveProduct(versionID));
    session.versionID = versionID;
    Check(session.context->OpenBugSet(nullptr, session.bugs.Put()));
    return session;
}

ComPtr<IBug> StoreBug(IBugSet* bugs, LONG versionID, const QString& description,
                      const QString& status) {
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
    Check(bug->put_Description(ToBstr(description).Get()));
    Check(bug->put_Status(ToBstr(status).Get()));
    Check(bug->put_ReportedInVersionID(versionID));
    Check(bug->put_BugType(eBug));
    ComPtr<IBug> stored;
    Check(bugs->Add(bug.Get(), stored.Put()));
    return stored;
}

QList<LONG> IdsOf(IBugSet* bugs) {
    QList<LONG> ids;
    Check(bugs->First());
    for (;;) {
        LONG end = 0;
        Check(bugs->IsEnd(&end));
        if (end) break;
        ids.append(Long(Object(bugs, &IBugSet::get_CurItem).Get(), &IBug::get_ID));
        Check(bugs->Next());
    }
    return ids;
}

} // namespace tarnwick::test
