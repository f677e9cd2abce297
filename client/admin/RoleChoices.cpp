#include "client/admin/RoleChoices.h"

#include <algorithm>
#include <vector>

#include "client/admin/AdminTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace {
// The product the role is bound to, 0 for none.
LONG RoleProductID(IRole* role) {
    const ComPtr<IProduct> product = Object(role, &IRole::get_Product);
    return product ? Long(product.Get(), &IProduct::get_ID) : 0;
}

std::vector<LONG> Sorted(const QSet<LONG>& ids) {
    std::vector<LONG> list(ids.begin(), ids.end());
    std::sort(list.begin(), list.end());
    return list;
}
} // namespace

QSet<LONG> ProductRoleIDs(IProduct* product) {
    QSet<LONG> ids;
    const ComPtr<IRoleSet> roles = Object(product, &IProduct::get_RoleSet);
    if (!roles) return ids;
    const LONG count = Long(roles.Get(), &IRoleSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        ids.insert(Long(Item(roles.Get(), &IRoleSet::get_Item, i).Get(), &IRole::get_ID));
    return ids;
}

void RoleChoices::load(IExeContext* session, IProduct* product, LONG productID) {
    const QSet<LONG> own = productID != 0 ? ProductRoleIDs(product) : QSet<LONG>();
    QList<RoleChoice> loaded;
    const ComPtr<IRoleSet> roles = Object(session, &IExeContext::get_AllRole);
    const LONG count = roles ? Long(roles.Get(), &IRoleSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
        RoleChoice choice;
        choice.id = Long(role.Get(), &IRole::get_ID);
        choice.name = Text(role.Get(), &IRole::get_Name);
        const LONG boundTo = RoleProductID(role.Get());
        choice.elsewhere = boundTo != 0 && boundTo != productID;
        choice.checked = own.contains(choice.id);
        loaded.append(choice);
    }
    choices_ = loaded;
}

bool RoleChoices::anyCheckedElsewhere() const {
    for (const RoleChoice& choice : choices_)
        if (choice.checked && choice.elsewhere) return true;
    return false;
}

QSet<LONG> RoleChoices::checkedIDs() const {
    QSet<LONG> ids;
    for (const RoleChoice& choice : choices_)
        if (choice.checked) ids.insert(choice.id);
    return ids;
}

bool RoleChoices::apply(IExeContext* session, IProduct* product, MessageSink& messages,
                        QWidget* parent) {
    if (anyCheckedElsewhere() &&
        !messages.Confirm(parent, QString::fromLatin1(admin_texts::sheet::kTakeRoles)))
        return false;
    const LONG productID = Long(product, &IProduct::get_ID);
    const QSet<LONG> checked = checkedIDs();
    const QSet<LONG> current = ProductRoleIDs(product);
    std::vector<LONG> freed = Sorted(QSet<LONG>(current).subtract(checked));
    std::vector<LONG> assigned = Sorted(QSet<LONG>(checked).subtract(current));
    if (!freed.empty())
        Check(session->FreeRoleIDsFromApp(freed.data(), static_cast<int>(freed.size()), productID));
    if (!assigned.empty())
        Check(session->AssignRolesToApp(assigned.data(), static_cast<int>(assigned.size()),
                                        productID));
    // The checked roles now belong to this product.
    for (RoleChoice& choice : choices_)
        if (choice.checked) choice.elsewhere = false;
    return true;
}

} // namespace tarnwick::admin
