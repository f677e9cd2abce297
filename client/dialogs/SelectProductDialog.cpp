#include "client/dialogs/SelectProductDialog.h"

#include <QDialogButtonBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {
const char* const kCaption = "Select Current Product";
const char* const kChooseVersion = "Please select a version!";
// The tree has no caption on screen; this names it for screen readers.
const char* const kTreeName = "Product";

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, QTreeWidget* tree, const QString& name, LONG id) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    node->setText(0, name);
    node->setData(0, Qt::UserRole, static_cast<int>(id));
    return node;
}
} // namespace

SelectProductDialog::SelectProductDialog(IExeContext* session, MessageSink& messages,
                                         QWidget* parent)
    : QDialog(parent), session_(session), messages_(messages), tree_(new QTreeWidget(this)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setAccessibleName(QString::fromLatin1(kTreeName));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectProductDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectProductDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addWidget(buttons);
}

void SelectProductDialog::fill() {
    tree_->clear();
    const ComPtr<IProductSet> products = Object(session_, &IExeContext::get_CurUserProductSet);
    if (!products) return;
    const LONG count = Long(products.Get(), &IProductSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IProduct> product = Item(products.Get(), &IProductSet::get_Item, i);
        // Product nodes carry 0: only a version can be made active.
        QTreeWidgetItem* node =
            AddNode(nullptr, tree_, Text(product.Get(), &IProduct::get_Name), 0);
        const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
        for (LONG v = 0; v < versions; ++v) {
            const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, v);
            AddNode(node, tree_, Text(version.Get(), &IVersion::get_Name),
                    Long(version.Get(), &IVersion::get_ID));
        }
    }
    tree_->expandAll();
}

void SelectProductDialog::open() {
    activated_ = 0;
    if (!Attempt([&] { fill(); },
                 [&](const EngineFailure& failure) {
                     messages_.Inform(parentWidget(), failure.text);
                 })) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::open();
}

void SelectProductDialog::accept() {
    const QList<QTreeWidgetItem*> chosen = tree_->selectedItems();
    if (chosen.isEmpty()) {
        QDialog::accept();
        return;
    }
    const LONG versionID = static_cast<LONG>(chosen.first()->data(0, Qt::UserRole).toInt());
    if (versionID == 0) {
        messages_.Inform(this, QString::fromLatin1(kChooseVersion));
        return;
    }
    if (Attempt([&] { Check(session_->SetActiveProduct(versionID)); },
                [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); })) {
        activated_ = versionID;
        QDialog::accept();
    }
}

} // namespace tarnwick
