#include "client/filtereditor/SelectFilterDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/filtereditor/FilterEditorTexts.h"

namespace tarnwick {

using namespace filtereditor;

SelectFilterDialog::SelectFilterDialog(const QStringList& names, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle(QString::fromLatin1(kSelectFilterCaption));
    list_->setAccessibleName(QString::fromLatin1(kFilterListName));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->addItems(names);
    if (!names.isEmpty()) list_->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    copy_ = buttons->addButton(QString::fromLatin1(kCopyCaption), QDialogButtonBox::AcceptRole);
    copy_->setAccessibleName(QString::fromLatin1(kCopyCaption));
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectFilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectFilterDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &SelectFilterDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int SelectFilterDialog::chosenIndex() const {
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    return chosen.isEmpty() ? -1 : list_->row(chosen.first());
}

void SelectFilterDialog::accept() {
    if (chosenIndex() < 0) return;
    QDialog::accept();
}

} // namespace tarnwick
