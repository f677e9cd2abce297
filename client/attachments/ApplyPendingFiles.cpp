#include "client/attachments/ApplyPendingFiles.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <functional>

#include "client/attachments/ThreadBytesRead.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kProgressTitle = "Attachment";
const char* const kStoringFile = "Storing %1...";
const char* const kCancelling = "Cancelling...";
const char* const kCancel = "Cancel";

constexpr int kProgressIntervalMs = 200;
// The dialog counts in KiB so that files beyond 2 GB fit its int range.
constexpr qint64 kProgressUnit = 1024;

bool RemoveStored(IFileSet* files, LONG id, MessageSink& messages, QWidget* window) {
    return Attempt([&] { Check(files->RemoveByID(id)); },
                   [&](const EngineFailure& failure) { messages.Inform(window, failure.text); });
}

bool AddFile(IFileSet* files, const QString& path, MessageSink& messages, QWidget* window) {
    return Attempt(
        [&] {
            ComPtr<IFile> added;
            Check(files->Add(ToBstr(path).Get(), added.Put()));
        },
        [&](const EngineFailure& failure) { messages.Inform(window, failure.text); });
}

// The progress dialog of one large file. Closing it or pressing Escape asks to cancel like its
// button does, and it stays open until the owner hides it: the window must stay blocked while
// the worker uses the engine.
class StoringProgressDialog final : public QProgressDialog {
  public:
    StoringProgressDialog(QWidget* parent, std::function<void()> cancelRequested)
        : QProgressDialog(parent), cancelRequested_(std::move(cancelRequested)) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        cancelRequested_();
    }
    void reject() override { cancelRequested_(); }

  private:
    std::function<void()> cancelRequested_;
};

} // namespace

bool ApplyPendingFiles(IFileSet* files, const PendingFiles& pending, MessageSink& messages,
                       QWidget* window) {
    bool all = true;
    for (const LONG id : pending.idsToDelete())
        all = RemoveStored(files, id, messages, window) && all;
    for (const QString& path : pending.pathsToAdd())
        all = AddFile(files, path, messages, window) && all;
    return all;
}

PendingFilesApplier::PendingFilesApplier(ComPtr<IFileSet> files, PendingFiles pending,
                                         MessageSink& messages, QWidget* window,
                                         qint64 largeFileBytes)
    : QObject(window), files_(std::move(files)), pending_(std::move(pending)), messages_(messages),
      window_(window), largeFileBytes_(largeFileBytes) {}

PendingFilesApplier::~PendingFilesApplier() {
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void PendingFilesApplier::start() {
    if (!files_) {
        finish();
        return;
    }
    for (const LONG id : pending_.idsToDelete())
        if (!RemoveStored(files_.Get(), id, messages_, window_)) ++failures_;
    toAdd_ = pending_.pathsToAdd();
    addFrom(0);
}

void PendingFilesApplier::cancel() {
    if (done_ || cancelled_) return;
    cancelled_ = true;
    if (progress_) {
        progress_->setLabelText(QString::fromLatin1(kCancelling));
        // The file being stored cannot be stopped midway; it is taken out when it is in.
        if (cancelButton_) cancelButton_->setEnabled(false);
    }
}

void PendingFilesApplier::addFrom(qsizetype index) {
    for (next_ = index; next_ < toAdd_.size() && !cancelled_; ++next_) {
        const QString& path = toAdd_[next_];
        const QFileInfo info(path);
        if (info.isFile() && info.size() > largeFileBytes_) {
            startLargeFile(path, info.size());
            return;
        }
        if (!AddFile(files_.Get(), path, messages_, window_)) ++failures_;
    }
    finish();
}

void PendingFilesApplier::startLargeFile(const QString& path, qint64 size) {
    added_.Reset();
    addFailed_ = false;
    failureText_.clear();
    workerThreadId_ = 0;
    workerBytesBefore_ = -1;
    // The packer reads the file, then the archive (at most about as large) is read back.
    expectedBytes_ = 2 * size;

    progress_ = new StoringProgressDialog(window_, [this] { cancel(); });
    progress_->setWindowTitle(QString::fromLatin1(kProgressTitle));
    progress_->setLabelText(QString::fromLatin1(kStoringFile).arg(QFileInfo(path).fileName()));
    // A button of our own, cut from the dialog's own handling, which would close it at once.
    cancelButton_ = new QPushButton(QString::fromLatin1(kCancel));
    progress_->setCancelButton(cancelButton_);
    cancelButton_->disconnect(progress_);
    connect(cancelButton_, &QPushButton::clicked, this, &PendingFilesApplier::cancel);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setMinimumDuration(0);
    progress_->setRange(0, static_cast<int>(std::min<qint64>(
                               (expectedBytes_ + kProgressUnit - 1) / kProgressUnit, INT_MAX)));
    progress_->setValue(0);
    progress_->show();

    ComPtr<IFileSet> files = files_;
    worker_ = QThread::create([this, files, path] {
        CoInitialize(nullptr);
        const pid_t self = CurrentThreadId();
        workerBytesBefore_ = ThreadBytesRead(self);
        workerThreadId_ = self;
        Attempt([&] { Check(files->Add(ToBstr(path).Get(), added_.Put())); },
                [&](const EngineFailure& failure) {
                    addFailed_ = true;
                    failureText_ = failure.text;
                });
        CoUninitialize();
    });
    connect(worker_, &QThread::finished, this, &PendingFilesApplier::largeFileDone);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressIntervalMs);
    connect(progressTimer_, &QTimer::timeout, this, &PendingFilesApplier::showProgress);
    progressTimer_->start();
    worker_->start();
}

void PendingFilesApplier::showProgress() {
    if (!progress_ || !worker_) return;
    const pid_t thread = workerThreadId_;
    const qint64 before = workerBytesBefore_;
    if (thread == 0) return; // not running yet
    const qint64 now = before < 0 ? -1 : ThreadBytesRead(thread);
    if (now < 0) {
        progress_->setRange(0, 0); // the kernel does not tell: an honest busy indicator
        return;
    }
    // Kept below the end: the dialog shows full only when the file is in.
    const qint64 read = std::clamp<qint64>(now - before, 0, expectedBytes_);
    progress_->setValue(
        std::min<int>(static_cast<int>(read / kProgressUnit), progress_->maximum() - 1));
}

void PendingFilesApplier::largeFileDone() {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    delete progressTimer_;
    progressTimer_ = nullptr;

    if (addFailed_) {
        ++failures_;
        messages_.Inform(window_, failureText_);
    } else if (cancelled_ && added_) {
        // Stored after the user had cancelled: take it out again, so the bug keeps the files it
        // had. The set lists only the files it was built with, so the new one joins it first.
        const bool removed = Attempt(
            [&] {
                Check(files_->Append(added_.Get()));
                Check(files_->RemoveByID(Long(added_.Get(), &IFile::get_ID)));
            },
            [&](const EngineFailure& failure) { messages_.Inform(window_, failure.text); });
        if (!removed) ++failures_;
    }
    added_.Reset();
    if (progress_) {
        progress_->hide();
        progress_->deleteLater();
        progress_ = nullptr;
        cancelButton_ = nullptr;
    }
    addFrom(next_ + 1);
}

void PendingFilesApplier::finish() {
    done_ = true;
    emit finished(!cancelled_);
}

} // namespace tarnwick
