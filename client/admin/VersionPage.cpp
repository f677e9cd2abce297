#include "client/admin/VersionPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "client/admin/AddVersionDialog.h"
#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/config/OleDate.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick::admin {

namespace texts = admin_texts::sheet;

namespace {
QString DayText(DATE date) {
    if (date == kNoDate) return {};
    const QDate day = DateFromOleDate(date);
    return day.isValid() ? QLocale().toString(day, QLocale::ShortFormat) : QString();
}
} // namespace

VersionPage::VersionPage(MessageSink& messages, QWidget* parent)
    : QWizardPage(parent), messages_(messages), list_(new QTreeWidget(this)),
      add_(CaptionedButton(texts::kAdd, this)), delete_(CaptionedButton(texts::kDelete, this)),
      edit_(CaptionedButton(texts::kEdit, this)) {
    setTitle(Caption(texts::kVersionTitle));
    list_->setRootIsDecorated(false);
    // The columns start at their widths; the description takes the room left over.
    list_->header()->setStretchLastSection(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({Caption(texts::kVersionNameColumn), Caption(texts::kVersionDateColumn),
                            Caption(texts::kVersionDescriptionColumn)});
    list_->setColumnWidth(0, texts::kVersionNameWidth);
    // A date is never cut: the column is wider where the font needs it.
    list_->setColumnWidth(
        1, std::max(texts::kVersionDateWidth,
                    list_->fontMetrics().horizontalAdvance(QStringLiteral("28 Sep 2026")) + 16));
    list_->setColumnWidth(2, texts::kVersionDescriptionWidth);
    list_->setAccessibleName(Caption(texts::kVersionList));
    list_->header()->setAccessibleName(Caption(texts::kVersionList));
    connect(add_, &QPushButton::clicked, this, &VersionPage::addVersion);
    connect(delete_, &QPushButton::clicked, this, &VersionPage::deleteVersions);
    connect(edit_, &QPushButton::clicked, this, &VersionPage::editVersion);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &VersionPage::editVersion);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addWidget(edit_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

void VersionPage::load(IProduct* product) {
    entries_.load(product);
    refresh();
}

void VersionPage::refresh() {
    list_->clear();
    const QList<VersionEntry>& entries = entries_.entries();
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries_.isShown(i)) continue;
        const VersionEntry& entry = entries.at(i);
        auto* row =
            new QTreeWidgetItem(list_, {entry.name, DayText(entry.releaseDate), entry.description});
        row->setData(0, Qt::UserRole, i);
    }
}

QList<int> VersionPage::selectedEntries() const {
    QList<int> chosen;
    for (QTreeWidgetItem* row : list_->selectedItems())
        chosen.append(row->data(0, Qt::UserRole).toInt());
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void VersionPage::addVersion() {
    openDialog(-1);
}

void VersionPage::editVersion() {
    const QList<int> chosen = selectedEntries();
    if (!chosen.isEmpty()) openDialog(chosen.first());
}

void VersionPage::openDialog(int editing) {
    if (dialog_) return;
    editing_ = editing;
    dialog_ = new AddVersionDialog(this);
    if (editing >= 0) {
        const VersionEntry& entry = entries_.entries().at(editing);
        dialog_->setVersion(entry.name, entry.description, entry.releaseDate);
    }
    connect(dialog_, &QDialog::finished, this, &VersionPage::takeDialog);
    dialog_->open();
}

void VersionPage::takeDialog(int result) {
    AddVersionDialog* dialog = dialog_;
    dialog_ = nullptr;
    if (!dialog) return;
    dialog->deleteLater();
    if (result != QDialog::Accepted) return;
    if (editing_ < 0)
        entries_.add(dialog->name(), dialog->description(), dialog->releaseDate());
    else
        entries_.edit(editing_, dialog->name(), dialog->description(), dialog->releaseDate());
    refresh();
}

void VersionPage::deleteVersions() {
    QList<int> confirmed;
    for (int index : selectedEntries()) {
        if (!messages_.Confirm(this, Caption(texts::kDeleteVersion)) ||
            !messages_.Confirm(this, Caption(texts::kDeleteVersionBugs)))
            break;
        confirmed.append(index);
    }
    if (confirmed.isEmpty()) return;
    // From the last one, so that dropping an entry does not move the others.
    std::sort(confirmed.begin(), confirmed.end(), std::greater<int>());
    for (int index : confirmed)
        entries_.remove(index);
    refresh();
}

} // namespace tarnwick::admin
