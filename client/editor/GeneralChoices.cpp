#include "client/editor/GeneralChoices.h"

namespace tarnwick {

namespace {

// Every name of a lookup list (statuses, severities, ...): they share Count and a text Item.
template <class List> QStringList Names(const ComPtr<List>& list) {
    QStringList names;
    if (!list) return names;
    const LONG count = Long(list.Get(), &List::get_Count);
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        Check(list->get_Item(i, name.Put()));
        names.append(FromBstr(name.Get()));
    }
    return names;
}

QList<NamedId> Classifications(IProduct* product) {
    QList<NamedId> result;
    const ComPtr<IClassificationSet> set = Object(product, &IProduct::get_ClassificationSet);
    if (!set) return result;
    const LONG count = Long(set.Get(), &IClassificationSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IClassification> item = Item(set.Get(), &IClassificationSet::get_Item, i);
        result.append({Text(item.Get(), &IClassification::get_Name),
                       Long(item.Get(), &IClassification::get_ID)});
    }
    return result;
}

QList<NamedId> Versions(IProduct* product) {
    QList<NamedId> result;
    const LONG count = Long(product, &IProduct::get_VersionCount);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IVersion> version = Item(product, &IProduct::get_Version, i);
        result.append(
            {Text(version.Get(), &IVersion::get_Name), Long(version.Get(), &IVersion::get_ID)});
    }
    return result;
}

} // namespace

GeneralChoices LoadGeneralChoices(IExeContext* session) {
    GeneralChoices choices;
    choices.statuses = Names(Object(session, &IExeContext::get_BugStatus));
    choices.priorities = Names(Object(session, &IExeContext::get_BugPriority));
    choices.severities = Names(Object(session, &IExeContext::get_BugSeverity));
    choices.reproducibilities = Names(Object(session, &IExeContext::get_BugReproductive));

    const ComPtr<IProduct> product = Object(session, &IExeContext::get_ActiveProduct);
    if (product) {
        choices.classifications = Classifications(product.Get());
        choices.versions = Versions(product.Get());
    }

    // Without a current user the engine hands out none; the page then names nobody.
    if (const ComPtr<IUser> user = Object(session, &IExeContext::get_CurUser)) {
        choices.userId = Long(user.Get(), &IUser::get_ID);
        choices.userName = Text(user.Get(), &IUser::get_UserName);
    }
    if (const ComPtr<IVersion> version = Object(session, &IExeContext::get_ActiveVersion))
        choices.activeVersionName = Text(version.Get(), &IVersion::get_Name);
    return choices;
}

} // namespace tarnwick
