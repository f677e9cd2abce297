#include "client/filtereditor/FilterValueLists.h"

namespace tarnwick {

namespace {

// The names of a lookup list (severities, statuses, priorities, reproducibilities).
template <class Lookup>
QStringList LookupNames(IExeContext* session,
                        HRESULT (STDMETHODCALLTYPE IExeContext::*getter)(Lookup**)) {
    const ComPtr<Lookup> lookup = Object(session, getter);
    QStringList names;
    if (!lookup) return names;
    const LONG count = Long(lookup.Get(), &Lookup::get_Count);
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        Check(lookup->get_Item(i, name.Put()));
        names << FromBstr(name.Get());
    }
    return names;
}

QStringList ClassificationNames(IExeContext* session) {
    ComPtr<IClassificationSet> classifications;
    // User 0 stands for no user: every classification of the product.
    Check(session->GetUserClassification(0, Long(session, &IExeContext::get_ActiveProductID),
                                         classifications.Put()));
    QStringList names;
    if (!classifications) return names;
    const LONG count = Long(classifications.Get(), &IClassificationSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        names << Text(Item(classifications.Get(), &IClassificationSet::get_Item, i).Get(),
                      &IClassification::get_Name);
    return names;
}

QStringList UserNames(IExeContext* session) {
    const ComPtr<IUserSet> users = Object(session, &IExeContext::get_AllUser);
    QStringList names;
    if (!users) return names;
    const LONG count = Long(users.Get(), &IUserSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        names << Text(Item(users.Get(), &IUserSet::get_Item, i).Get(), &IUser::get_UserName);
    return names;
}

QStringList VersionNames(IExeContext* session) {
    const ComPtr<IProduct> product = Object(session, &IExeContext::get_ActiveProduct);
    QStringList names;
    if (!product) return names;
    const LONG count = Long(product.Get(), &IProduct::get_VersionCount);
    for (LONG i = 0; i < count; ++i)
        names << Text(Item(product.Get(), &IProduct::get_Version, i).Get(), &IVersion::get_Name);
    return names;
}

} // namespace

QStringList FilterValueEntries(IExeContext* session, const QString& fieldName) {
    const auto is = [&](const char* name) { return fieldName == QLatin1String(name); };
    if (is("SeverityName")) return LookupNames(session, &IExeContext::get_BugSeverity);
    if (is("StatusName")) return LookupNames(session, &IExeContext::get_AllBugStatus);
    if (is("PriorityName")) return LookupNames(session, &IExeContext::get_BugPriority);
    if (is("ReproductiveName")) return LookupNames(session, &IExeContext::get_BugReproductive);
    if (is("Classification")) return ClassificationNames(session);
    if (is("ReportedBy") || is("FixedBy") || is("VerifiedBy")) return UserNames(session);
    if (is("ReportedInVersion") || is("FixedInVersion")) return VersionNames(session);
    return {};
}

} // namespace tarnwick
