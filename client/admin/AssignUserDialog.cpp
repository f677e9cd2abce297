#include "client/admin/AssignUserDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::assign_user;

namespace {
constexpr int kIdRole = Qt::UserRole;

QSet<LONG> ClassificationIDs(IClassificationSet* set) {
    QSet<LONG> ids;
    const LONG count = set ? Long(set, &IClassificationSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i)
        ids.insert(
            Long(Item(set, &IClassificationSet::get_Item, i).Get(), &IClassification::get_ID));
    return ids;
}
} // namespace

AssignUserDialog::AssignUserDialog(ComPtr<IExeContext> session, MessageSink& messages,
                                   QWidget* parent)
    : QDialog(parent), session_(std::move(session)), messages_(messages),
      users_(new QListWidget(this)), tree_(new QTreeWidget(this)),
      assign_(CaptionedButton(texts::kAssign, this)), close_(CaptionedButton(texts::kClose, this)) {
    setWindowTitle(Caption(texts::kCaption));
    users_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setHeaderHidden(true);
    connect(users_, &QListWidget::currentRowChanged, this, &AssignUserDialog::chooseUser);
    connect(assign_, &QPushButton::clicked, this, &AssignUserDialog::assign);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* usersColumn = new QVBoxLayout;
    usersColumn->addWidget(CaptionFor(users_, texts::kUsers, this));
    usersColumn->addWidget(users_);
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(CaptionFor(tree_, texts::kProduction, this));
    treeColumn->addWidget(tree_);
    auto* lists = new QHBoxLayout;
    lists->addLayout(usersColumn);
    lists->addLayout(treeColumn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(assign_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
}

void AssignUserDialog::fillUsers() {
    users_->blockSignals(true);
    users_->clear();
    tree_->clear();
    userObjects_.clear();
    const ComPtr<IUserSet> users = Object(session_.Get(), &IExeContext::get_AllUser);
    const LONG count = users ? Long(users.Get(), &IUserSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IUser> user = Item(users.Get(), &IUserSet::get_Item, i);
        const LONG id = Long(user.Get(), &IUser::get_ID);
        auto* row = new QListWidgetItem(Text(user.Get(), &IUser::get_UserName), users_);
        row->setData(kIdRole, static_cast<int>(id));
        userObjects_.insert(id, user);
    }
    users_->setCurrentRow(-1);
    users_->blockSignals(false);
}

void AssignUserDialog::open() {
    bool filled = false;
    Attempt(
        [&] {
            fillUsers();
            filled = true;
        },
        [&](const EngineFailure& failure) { messages_.Inform(parentWidget(), failure.text); });
    users_->blockSignals(false);
    if (!filled) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::open();
}

LONG AssignUserDialog::chosenUserID() const {
    const QListWidgetItem* row = users_->currentItem();
    return row ? static_cast<LONG>(row->data(kIdRole).toInt()) : 0;
}

void AssignUserDialog::chooseUser(int row) {
    if (users_->currentRow() != row) {
        // Called directly: make the row current, which calls back here through the signal.
        users_->setCurrentRow(row);
        return;
    }
    tree_->clear();
    const LONG userID = chosenUserID();
    if (userID == 0) return;
    Attempt([&] { fillTree(userID); },
            [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
}

void AssignUserDialog::fillTree(LONG userID) {
    const ComPtr<IRoleSet> roles = Object(userObjects_.value(userID).Get(), &IUser::get_RoleSet);
    const LONG roleCount = roles ? Long(roles.Get(), &IRoleSet::get_Count) : 0;
    QSet<LONG> shown;
    for (LONG r = 0; r < roleCount; ++r) {
        const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, r);
        const ComPtr<IProduct> product = Object(role.Get(), &IRole::get_Product);
        if (!product) continue;
        const LONG productID = Long(product.Get(), &IProduct::get_ID);
        // Two roles in one product give one node.
        if (productID == 0 || shown.contains(productID)) continue;
        shown.insert(productID);

        auto* node = new QTreeWidgetItem(tree_, {Text(product.Get(), &IProduct::get_Name)});
        node->setData(0, kIdRole, static_cast<int>(productID));
        const ComPtr<IClassificationSet> assigned = [&] {
            ComPtr<IClassificationSet> set;
            Check(session_->GetUserClassification(userID, productID, set.Put()));
            return set;
        }();
        const QSet<LONG> assignedIDs = ClassificationIDs(assigned.Get());
        const ComPtr<IClassificationSet> classes =
            Object(product.Get(), &IProduct::get_ClassificationSet);
        const LONG classCount = classes ? Long(classes.Get(), &IClassificationSet::get_Count) : 0;
        for (LONG c = 0; c < classCount; ++c) {
            const ComPtr<IClassification> item =
                Item(classes.Get(), &IClassificationSet::get_Item, c);
            const LONG id = Long(item.Get(), &IClassification::get_ID);
            auto* child = new QTreeWidgetItem(node, {Text(item.Get(), &IClassification::get_Name)});
            child->setData(0, kIdRole, static_cast<int>(id));
            child->setFlags(child->flags() | Qt::ItemIsUserCheckable);
            child->setCheckState(0, assignedIDs.contains(id) ? Qt::Checked : Qt::Unchecked);
        }
    }
    tree_->expandAll();
}

void AssignUserDialog::assign() {
    const LONG userID = chosenUserID();
    if (userID == 0) return;
    // The engine replaces all of the user's classifications with the list it is given, so the
    // checks of every product go in one call; one call per product would keep only the last.
    std::vector<LONG> ids;
    for (int p = 0; p < tree_->topLevelItemCount(); ++p) {
        const QTreeWidgetItem* node = tree_->topLevelItem(p);
        for (int c = 0; c < node->childCount(); ++c)
            if (node->child(c)->checkState(0) == Qt::Checked)
                ids.push_back(static_cast<LONG>(node->child(c)->data(0, kIdRole).toInt()));
    }
    LONG none = 0;
    Attempt(
        [&] {
            Check(session_->AssignUserClassification(userID, ids.empty() ? &none : ids.data(),
                                                     static_cast<LONG>(ids.size())));
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
}

} // namespace tarnwick::admin
