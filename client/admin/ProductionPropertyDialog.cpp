#include "client/admin/ProductionPropertyDialog.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/admin/ProductSheet.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::production_property;

ProductionPropertyDialog::ProductionPropertyDialog(ComPtr<IExeContext> session,
                                                   MessageSink& messages, QWidget* parent)
    : QDialog(parent), session_(std::move(session)), messages_(messages),
      list_(new QTreeWidget(this)), edit_(CaptionedButton(texts::kEdit, this)),
      delete_(CaptionedButton(texts::kDelete, this)), close_(CaptionedButton(texts::kClose, this)) {
    setWindowTitle(Caption(texts::kCaption));
    resize(560, 300);
    list_->setRootIsDecorated(false);
    list_->header()->setStretchLastSection(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({Caption(texts::kNameColumn), Caption(texts::kDescriptionColumn)});
    // The name column is never narrower than its caption; descriptions take the rest.
    list_->setColumnWidth(
        0, std::max(texts::kNameWidth,
                    list_->fontMetrics().horizontalAdvance(list_->headerItem()->text(0)) + 24));
    list_->setColumnWidth(1, texts::kDescriptionWidth);
    list_->setAccessibleName(Caption(texts::kList));
    list_->header()->setAccessibleName(Caption(texts::kList));
    connect(edit_, &QPushButton::clicked, this, &ProductionPropertyDialog::editProduction);
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            &ProductionPropertyDialog::editProduction);
    connect(delete_, &QPushButton::clicked, this, &ProductionPropertyDialog::deleteProduction);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

void ProductionPropertyDialog::fill() {
    // A fresh set each time, so the list shows what the database holds now.
    products_ = Object(session_.Get(), &IExeContext::get_ProductSet);
    list_->clear();
    const LONG count = products_ ? Long(products_.Get(), &IProductSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IProduct> product = Item(products_.Get(), &IProductSet::get_Item, i);
        auto* row = new QTreeWidgetItem(list_, {Text(product.Get(), &IProduct::get_Name),
                                                Text(product.Get(), &IProduct::get_Description)});
        row->setData(0, Qt::UserRole, static_cast<int>(Long(product.Get(), &IProduct::get_ID)));
    }
}

void ProductionPropertyDialog::refill() {
    Attempt([&] { fill(); },
            [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
}

void ProductionPropertyDialog::open() {
    if (!Attempt([&] { fill(); },
                 [&](const EngineFailure& failure) {
                     messages_.Inform(parentWidget(), failure.text);
                 })) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::open();
}

int ProductionPropertyDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
    return chosen.isEmpty() ? -1 : list_->indexOfTopLevelItem(chosen.first());
}

void ProductionPropertyDialog::editProduction() {
    const int row = selectedRow();
    if (row < 0 || sheet_ || !products_) return;
    sheet_ = new ProductSheet(session_, products_, row, messages_, this);
    connect(sheet_, &QDialog::finished, this, &ProductionPropertyDialog::takeSheet);
    sheet_->open();
}

void ProductionPropertyDialog::takeSheet(int result) {
    if (sheet_) sheet_->deleteLater();
    sheet_ = nullptr;
    if (result == QDialog::Accepted && messages_.Confirm(this, Caption(texts::kSynchronize)))
        Attempt([&] { Check(session_->Synchronize()); },
                [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    // The sheet changed the set's product objects, stored or not: read them anew.
    refill();
    emit editFinished();
}

void ProductionPropertyDialog::deleteProduction() {
    const int row = selectedRow();
    if (row < 0 || !messages_.Confirm(this, Caption(texts::kDeleteProduction)) ||
        !messages_.Confirm(this, Caption(texts::kDeleteProductionBugs)))
        return;
    const LONG id = static_cast<LONG>(list_->topLevelItem(row)->data(0, Qt::UserRole).toInt());
    if (Attempt([&] { Check(products_->DeleteByID(id)); },
                [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); }))
        delete list_->takeTopLevelItem(row);
}

} // namespace tarnwick::admin
