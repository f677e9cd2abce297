#include "client/admin/RoleAssignPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"

namespace tarnwick::admin {

namespace texts = admin_texts::sheet;

RoleAssignPage::RoleAssignPage(QWidget* parent) : QWizardPage(parent) {
    setTitle(Caption(texts::kRoleTitle));
    auto* group = new QGroupBox(Caption(texts::kRoleGroup), this);
    list_ = new QListWidget(group);
    list_->setAccessibleName(Caption(texts::kRoleGroup));
    onlyFree_ = new QRadioButton(Caption(texts::kOnlyFreeRoles), group);
    onlyFree_->setAccessibleName(Caption(texts::kOnlyFreeRoles));
    all_ = new QRadioButton(Caption(texts::kAllRoles), group);
    all_->setAccessibleName(Caption(texts::kAllRoles));
    onlyFree_->setChecked(true);
    selectAll_ = CaptionedButton(texts::kSelectAll, group);
    selectNone_ = CaptionedButton(texts::kSelectNone, group);
    connect(onlyFree_, &QRadioButton::toggled, this, &RoleAssignPage::refresh);
    connect(selectAll_, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(selectNone_, &QPushButton::clicked, this, [this] { checkAll(false); });
    connect(list_, &QListWidget::itemChanged, this, &RoleAssignPage::takeCheck);

    auto* radios = new QHBoxLayout;
    radios->addWidget(onlyFree_);
    radios->addWidget(all_);
    radios->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(selectAll_);
    buttons->addWidget(selectNone_);
    buttons->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list_);
    groupLayout->addLayout(radios);
    groupLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

void RoleAssignPage::load(IExeContext* session, IProduct* product, LONG productID) {
    choices_.load(session, product, productID);
    refresh();
}

void RoleAssignPage::refresh() {
    filling_ = true;
    list_->clear();
    const bool onlyFree = onlyFree_->isChecked();
    const QList<RoleChoice>& choices = choices_.choices();
    for (int i = 0; i < choices.size(); ++i) {
        const RoleChoice& choice = choices.at(i);
        if (onlyFree && choice.elsewhere) continue;
        auto* row = new QListWidgetItem(choice.name, list_);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(choice.checked ? Qt::Checked : Qt::Unchecked);
        row->setData(Qt::UserRole, i);
    }
    filling_ = false;
}

void RoleAssignPage::checkAll(bool checked) {
    for (int row = 0; row < list_->count(); ++row)
        list_->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void RoleAssignPage::takeCheck(QListWidgetItem* item) {
    if (filling_) return;
    choices_.setChecked(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
}

} // namespace tarnwick::admin
