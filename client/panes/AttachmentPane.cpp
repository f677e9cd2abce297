#include "client/panes/AttachmentPane.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "client/panes/FileTypeIcon.h"

namespace tarnwick {

namespace {

// The part of a stored name after the last separator of either kind.
QString BaseName(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')),
                                   path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace

AttachmentPane::AttachmentPane(DateFormatter formatDate, QWidget* parent)
    : DetailPane(parent), formatDate_(std::move(formatDate)), list_(new QTreeWidget(this)) {
    list_->setAccessibleName(QStringLiteral("Attachment"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("File Size (bytes)"),
                            QStringLiteral("Date")});
    list_->setColumnWidth(0, 190);
    list_->setColumnWidth(1, 100);
    list_->setColumnWidth(2, 80);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* row) { openRow(row); });
}

void AttachmentPane::showBug(IBug* bug) {
    list_->clear();
    files_.Reset();
    if (!bug) return;
    files_ = Object(bug, &IBug::get_AttachedFiles);
    if (!files_) return;
    const LONG count = Long(files_.Get(), &IFileSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IFile> file = Item(files_.Get(), &IFileSet::get_Item, i);
        if (!file) continue;
        const QString name = BaseName(Text(file.Get(), &IFile::get_FileName));
        auto* row = new QTreeWidgetItem(list_);
        row->setText(0, name);
        row->setIcon(0, FileTypeIcon(name));
        row->setText(1, QString::number(Long(file.Get(), &IFile::get_FileSize)));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(2, formatDate_(Date(file.Get(), &IFile::get_FileDate)));
        row->setData(0, Qt::UserRole, static_cast<int>(Long(file.Get(), &IFile::get_ID)));
    }
}

void AttachmentPane::openRow(QTreeWidgetItem* row) {
    if (!row || !files_) return;
    const LONG id = row->data(0, Qt::UserRole).toInt();
    Attempt(
        [&] {
            const LONG count = Long(files_.Get(), &IFileSet::get_Count);
            for (LONG i = 0; i < count; ++i) {
                const ComPtr<IFile> file = Item(files_.Get(), &IFileSet::get_Item, i);
                if (file && Long(file.Get(), &IFile::get_ID) == id) {
                    Check(file->OpenFile());
                    return;
                }
            }
        },
        [this](const EngineFailure& failure) { emit openFailed(failure); });
}

} // namespace tarnwick
