#include "client/attachments/AttachmentPage.h"

#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstdio>

#include "client/attachments/AttachmentTexts.h"
#include "client/config/OleDate.h"
#include "client/list/DateText.h"
#include "client/panes/FileTypeIcon.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace texts = attachment_texts;

namespace {

constexpr int DateRole = Qt::UserRole + 2;
constexpr int kFileNameColumn = 0;
constexpr int kFileSizeColumn = 1;
constexpr int kDateColumn = 2;

QString Caption(const char* text) {
    return QString::fromLatin1(text);
}

// The part of a path after its last separator of either kind.
QString BaseName(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// A file's modification time as the engine stores it: local time, whole seconds.
DATE FileDate(const QFileInfo& info) {
    QDateTime modified = info.lastModified().toLocalTime();
    if (!modified.isValid()) return kNoDate;
    modified.setTime(
        QTime(modified.time().hour(), modified.time().minute(), modified.time().second()));
    return OleDateFromDateTime(modified);
}

} // namespace

AttachmentPage::AttachmentPage(MessageSink& messages, QWidget* parent)
    : EditorPage(parent), messages_(messages), model_(new QStandardItemModel(0, 3, this)),
      selection_(new QItemSelectionModel(model_, this)), detailView_(new QTreeView(this)),
      iconView_(new QListView(this)), views_(new QStackedWidget(this)),
      toolBar_(new QToolBar(this)), menu_(new QMenu(this)) {
    model_->setHorizontalHeaderLabels(
        {Caption(texts::kFileName), Caption(texts::kFileSize), Caption(texts::kDate)});

    // One model and one selection behind both views: switching the mode keeps the selection.
    detailView_->setModel(model_);
    detailView_->setSelectionModel(selection_);
    detailView_->setRootIsDecorated(false);
    detailView_->setItemsExpandable(false);
    detailView_->setUniformRowHeights(true);
    detailView_->setSelectionMode(QAbstractItemView::SingleSelection);
    detailView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    detailView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    detailView_->setColumnWidth(kFileNameColumn, texts::kFileNameWidth);
    detailView_->setColumnWidth(kFileSizeColumn, texts::kFileSizeWidth);
    detailView_->setColumnWidth(kDateColumn, texts::kDateWidth);
    iconView_->setModel(model_);
    iconView_->setSelectionModel(selection_);
    iconView_->setModelColumn(kFileNameColumn);
    iconView_->setSelectionMode(QAbstractItemView::SingleSelection);
    iconView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setWrapping(true);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(detailView_),
                                    static_cast<QAbstractItemView*>(iconView_)}) {
        view->setAccessibleName(Caption(texts::kTitle));
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            const QModelIndex index = view->indexAt(at);
            if (index.isValid()) selectRow(index.row());
            menu_->popup(view->viewport()->mapToGlobal(at));
        });
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            selectRow(index.row());
            openSelected();
        });
    }
    views_->addWidget(detailView_);
    views_->addWidget(iconView_);

    toolBar_->setAccessibleName(Caption(texts::kToolBar));
    toolBar_->setIconSize(QSize(16, 16));
    buildActions();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolBar_);
    layout->addWidget(views_);

    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &AttachmentPage::updateActions);
    setViewMode(Detail);
    updateActions();
}

void AttachmentPage::buildActions() {
    QStyle* look = style();
    add_ = toolBar_->addAction(look->standardIcon(QStyle::SP_FileIcon), Caption(texts::kAddFile));
    open_ =
        toolBar_->addAction(look->standardIcon(QStyle::SP_DialogOpenButton), Caption(texts::kOpen));
    saveAs_ = toolBar_->addAction(look->standardIcon(QStyle::SP_DialogSaveButton),
                                  Caption(texts::kSaveAs));
    delete_ =
        toolBar_->addAction(look->standardIcon(QStyle::SP_TrashIcon), Caption(texts::kDelete));
    toolBar_->addSeparator();
    connect(add_, &QAction::triggered, this, [this] { chooseFileToAdd(); });
    connect(open_, &QAction::triggered, this, &AttachmentPage::openSelected);
    connect(saveAs_, &QAction::triggered, this, [this] { chooseSaveAsPath(); });
    connect(delete_, &QAction::triggered, this, &AttachmentPage::deleteSelected);

    openMenu_ = menu_->addAction(Caption(texts::kOpenMenu));
    saveAsMenu_ = menu_->addAction(Caption(texts::kSaveAsMenu));
    menu_->addSeparator();
    connect(openMenu_, &QAction::triggered, this, &AttachmentPage::openSelected);
    connect(saveAsMenu_, &QAction::triggered, this, [this] { chooseSaveAsPath(); });

    modes_ = new QActionGroup(this);
    const struct {
        ViewMode mode;
        const char* caption;
        QStyle::StandardPixmap icon;
    } modes[] = {{LargeIcons, texts::kLargeIcons, QStyle::SP_FileDialogContentsView},
                 {SmallIcons, texts::kSmallIcons, QStyle::SP_FileDialogInfoView},
                 {List, texts::kList, QStyle::SP_FileDialogListView},
                 {Detail, texts::kDetail, QStyle::SP_FileDialogDetailedView}};
    for (const auto& mode : modes) {
        QAction* action = modes_->addAction(look->standardIcon(mode.icon), Caption(mode.caption));
        action->setCheckable(true);
        toolBar_->addAction(action);
        menu_->addAction(action);
        const ViewMode which = mode.mode;
        connect(action, &QAction::triggered, this, [this, which] { setViewMode(which); });
        modeActions_[which] = action;
    }
}

QString AttachmentPage::title() const {
    return Caption(texts::kTitle);
}

void AttachmentPage::load(const BugEditorState& state) {
    loaded_ = true;
    canEdit_ = state.right && Long(state.right.Get(), &IRight::get_EditAttachment) > 0;
    updateActions();
    if (!state.bug) return;
    files_ = Object(state.bug.Get(), &IBug::get_AttachedFiles);
    if (!files_) return;
    const LONG count = Long(files_.Get(), &IFileSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IFile> file = Item(files_.Get(), &IFileSet::get_Item, i);
        if (!file) continue;
        const QString name = BaseName(Text(file.Get(), &IFile::get_FileName));
        const LONG id = Long(file.Get(), &IFile::get_ID);
        appendRow(pending_.addStored(name, id), id, name, Long(file.Get(), &IFile::get_FileSize),
                  Date(file.Get(), &IFile::get_FileDate));
    }
    updateActions();
}

void AttachmentPage::save(const BugEditorState&) {}

bool AttachmentPage::isModified() const {
    return pending_.hasChanges();
}

void AttachmentPage::setDateFormat(const QString& storedFormat) {
    dateFormat_ = storedFormat;
    for (int row = 0; row < model_->rowCount(); ++row) {
        QStandardItem* date = model_->item(row, kDateColumn);
        date->setText(dateText(date->data(DateRole).toDouble()));
    }
}

QString AttachmentPage::dateText(DATE date) const {
    return DateText(date, dateFormat_);
}

void AttachmentPage::appendRow(int key, LONG id, const QString& name, qint64 size, DATE date) {
    auto* nameItem = new QStandardItem(FileTypeIcon(name), name);
    nameItem->setData(static_cast<int>(id), IdRole);
    nameItem->setData(key, KeyRole);
    nameItem->setToolTip(name);
    auto* sizeItem = new QStandardItem(QString::number(size));
    sizeItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* dateItem = new QStandardItem(dateText(date));
    dateItem->setData(date, DateRole);
    for (QStandardItem* item : {nameItem, sizeItem, dateItem})
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    model_->appendRow({nameItem, sizeItem, dateItem});
}

bool AttachmentPage::addFile(const QString& path) {
    if (!loaded_ || !canEdit_) return false;
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return false;
    const QString full = info.absoluteFilePath();
    const QString name = info.fileName();
    appendRow(pending_.addNew(full), 0, name, info.size(), FileDate(info));
    selectRow(model_->rowCount() - 1);
    updateActions();
    emit modified();
    return true;
}

void AttachmentPage::deleteSelected() {
    const int row = selectedRow();
    if (row < 0 || !canEdit_) return;
    const int key = model_->item(row, kFileNameColumn)->data(KeyRole).toInt();
    pending_.remove(key);
    model_->removeRow(row);
    updateActions();
    emit modified();
}

void AttachmentPage::openSelected() {
    const LONG id = selectedId();
    if (id == 0) return; // a file added in this run is not in the database yet
    Attempt(
        [&] {
            if (const ComPtr<IFile> file = storedFile(id)) Check(file->OpenFile());
        },
        [this](const EngineFailure& failure) { reportFailure(failure); });
}

bool AttachmentPage::saveSelectedAs(const QString& path) {
    const LONG id = selectedId();
    if (id == 0 || path.isEmpty()) return false;
    return Attempt(
        [&] {
            const ComPtr<IFile> file = storedFile(id);
            if (!file) return;
            const QFileInfo target(path);
            if (!target.exists()) {
                Check(file->GetFile(ToBstr(path).Get()));
                return;
            }
            // The engine never writes over a file. The user agreed to replace it, so the copy is
            // made beside it and then takes its place in one step: until then the old file stays.
            QTemporaryDir beside(target.absoluteDir().filePath(QStringLiteral(".tarnwick-XXXXXX")));
            const QString copy = beside.isValid() ? beside.filePath(target.fileName()) : QString();
            if (copy.isEmpty()) {
                Check(file->GetFile(ToBstr(path).Get())); // refused with the engine's message
                return;
            }
            Check(file->GetFile(ToBstr(copy).Get()));
            if (std::rename(QFile::encodeName(copy).constData(),
                            QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
                Check(file->GetFile(ToBstr(path).Get())); // refused with the engine's message
        },
        [this](const EngineFailure& failure) { reportFailure(failure); });
}

QFileDialog* AttachmentPage::chooseFileToAdd() {
    if (!add_->isEnabled()) return nullptr;
    auto* dialog =
        new QFileDialog(this, Caption(texts::kAddFile), QString(), Caption(texts::kAllFiles));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& path) { addFile(path); });
    dialog->open();
    return dialog;
}

QFileDialog* AttachmentPage::chooseSaveAsPath() {
    if (!saveAs_->isEnabled()) return nullptr;
    ComPtr<IFile> file;
    QString name;
    const bool found = Attempt(
        [&] {
            file = storedFile(selectedId());
            if (file) name = Text(file.Get(), &IFile::get_FileName);
        },
        [this](const EngineFailure& failure) { reportFailure(failure); });
    if (!found || !file) return nullptr;
    auto* dialog =
        new QFileDialog(this, Caption(texts::kSaveAs), QString(), Caption(texts::kAllFiles));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectFile(BaseName(name));
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& path) { saveSelectedAs(path); });
    dialog->open();
    return dialog;
}

void AttachmentPage::setViewMode(ViewMode mode) {
    mode_ = mode;
    modeActions_[mode]->setChecked(true);
    if (mode == Detail) {
        views_->setCurrentWidget(detailView_);
        return;
    }
    switch (mode) {
    case LargeIcons:
        iconView_->setViewMode(QListView::IconMode);
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setIconSize(QSize(32, 32));
        break;
    case SmallIcons:
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setIconSize(QSize(16, 16));
        break;
    case List:
    case Detail:
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setFlow(QListView::TopToBottom);
        iconView_->setIconSize(QSize(16, 16));
        break;
    }
    iconView_->setWrapping(true);
    iconView_->setMovement(QListView::Static);
    views_->setCurrentWidget(iconView_);
}

QAbstractItemView* AttachmentPage::currentView() const {
    return mode_ == Detail ? static_cast<QAbstractItemView*>(detailView_) : iconView_;
}

QAction* AttachmentPage::viewModeAction(ViewMode mode) const {
    return modeActions_[mode];
}

void AttachmentPage::selectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        selection_->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, kFileNameColumn);
    selection_->setCurrentIndex(index,
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int AttachmentPage::selectedRow() const {
    const QModelIndexList selected = selection_->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

LONG AttachmentPage::selectedId() const {
    const int row = selectedRow();
    return row < 0 ? 0 : model_->item(row, kFileNameColumn)->data(IdRole).toInt();
}

ComPtr<IFile> AttachmentPage::storedFile(LONG id) const {
    if (!files_ || id == 0) return {};
    const LONG count = Long(files_.Get(), &IFileSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IFile> file = Item(files_.Get(), &IFileSet::get_Item, i);
        if (file && Long(file.Get(), &IFile::get_ID) == id) return file;
    }
    return {};
}

void AttachmentPage::updateActions() {
    const bool selected = selectedRow() >= 0;
    const bool stored = selectedId() != 0;
    add_->setEnabled(loaded_ && canEdit_);
    delete_->setEnabled(canEdit_ && selected);
    for (QAction* action : {open_, saveAs_, openMenu_, saveAsMenu_})
        action->setEnabled(stored);
}

void AttachmentPage::reportFailure(const EngineFailure& failure) {
    messages_.Inform(this, failure.text);
}

} // namespace tarnwick
