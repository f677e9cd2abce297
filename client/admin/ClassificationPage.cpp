#include "client/admin/ClassificationPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/admin/EnterNameDialog.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::sheet;

ClassificationPage::ClassificationPage(MessageSink& messages, QWidget* parent)
    : QWizardPage(parent), messages_(messages) {
    setTitle(Caption(texts::kClassificationTitle));
    auto* group = new QGroupBox(Caption(texts::kClassificationGroup), this);
    list_ = new QListWidget(group);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setAccessibleName(Caption(texts::kClassificationGroup));
    add_ = CaptionedButton(texts::kAdd, group);
    delete_ = CaptionedButton(texts::kDelete, group);
    edit_ = CaptionedButton(texts::kEdit, group);
    connect(add_, &QPushButton::clicked, this, &ClassificationPage::addClassification);
    connect(delete_, &QPushButton::clicked, this, &ClassificationPage::deleteClassification);
    connect(edit_, &QPushButton::clicked, this, &ClassificationPage::editClassification);
    connect(list_, &QListWidget::itemDoubleClicked, this, &ClassificationPage::editClassification);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addWidget(edit_);
    buttons->addStretch();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list_);
    groupLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
}

void ClassificationPage::load(IClassificationSet* set) {
    entries_.load(set);
    refresh();
}

void ClassificationPage::refresh() {
    list_->clear();
    const QList<ClassificationEntry>& entries = entries_.entries();
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries_.isShown(i)) continue;
        auto* row = new QListWidgetItem(entries.at(i).name, list_);
        row->setData(Qt::UserRole, i);
    }
}

bool ClassificationPage::check() {
    if (entries_.shownCount() > 0) return true;
    messages_.Inform(this, Caption(texts::kNoClassification));
    return false;
}

int ClassificationPage::selectedEntry() const {
    const QList<QListWidgetItem*> chosen = list_->selectedItems();
    return chosen.isEmpty() ? -1 : chosen.first()->data(Qt::UserRole).toInt();
}

void ClassificationPage::addClassification() {
    openDialog(-1);
}

void ClassificationPage::editClassification() {
    const int chosen = selectedEntry();
    if (chosen >= 0) openDialog(chosen);
}

void ClassificationPage::openDialog(int editing) {
    if (dialog_) return;
    editing_ = editing;
    dialog_ = new EnterNameDialog(this);
    if (editing >= 0) dialog_->setName(entries_.entries().at(editing).name);
    connect(dialog_, &QDialog::finished, this, &ClassificationPage::takeDialog);
    dialog_->open();
}

void ClassificationPage::takeDialog(int result) {
    EnterNameDialog* dialog = dialog_;
    dialog_ = nullptr;
    if (!dialog) return;
    dialog->deleteLater();
    if (result != QDialog::Accepted) return;
    if (editing_ < 0)
        entries_.add(dialog->name());
    else
        entries_.rename(editing_, dialog->name());
    refresh();
}

void ClassificationPage::deleteClassification() {
    const int chosen = selectedEntry();
    if (chosen < 0 || !messages_.Confirm(this, Caption(texts::kDeleteClassification))) return;
    entries_.remove(chosen);
    refresh();
}

} // namespace tarnwick::admin
