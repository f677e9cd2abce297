#pragma once
// Applying the attachment changes of one editor run to the stored bug's files: first every
// stored file the user deleted is removed, then every new file is added. An engine failure is
// shown with the engine's message and the remaining files still go on.
//
// The engine stores a file in one blocking call (it packs the file, then writes the archive into
// the database). For a large file that takes long enough to need a progress display and a way to
// stop, so PendingFilesApplier runs such a call on a worker thread while a window-modal progress
// dialog follows the bytes that thread reads. The main thread leaves the engine alone meanwhile.
#include <QObject>
#include <QPointer>

#include <atomic>

#include "client/adapter/EngineCall.h"
#include "client/attachments/PendingFiles.h"

class QProgressDialog;
class QPushButton;
class QThread;
class QTimer;
class QWidget;

namespace tarnwick {

class MessageSink;

// Files larger than this are stored with a progress dialog.
inline constexpr qint64 kLargeAttachmentBytes = 100LL * 1024 * 1024;

// Applies the list in one go on the calling thread, without progress. Returns true when every
// change was made.
bool ApplyPendingFiles(IFileSet* files, const PendingFiles& pending, MessageSink& messages,
                       QWidget* window);

class PendingFilesApplier : public QObject {
    Q_OBJECT

  public:
    // window is the parent of messages and of the progress dialog (and this object's parent).
    PendingFilesApplier(ComPtr<IFileSet> files, PendingFiles pending, MessageSink& messages,
                        QWidget* window, qint64 largeFileBytes = kLargeAttachmentBytes);
    // Waits for a file being stored: the engine call cannot be interrupted.
    ~PendingFilesApplier() override;

    // Removes, then adds. Files up to the threshold are handled at once; at the first larger one
    // start returns and the rest follows when the worker is done. finished is emitted in every
    // case, before start returns when there was no large file.
    void start();
    // Stops after the file being stored and takes that file out again; the files not started
    // are not added. The progress dialog's Cancel does the same.
    void cancel();

    bool isRunning() const { return worker_ != nullptr; }
    // The progress dialog while a large file is stored, otherwise nullptr.
    QProgressDialog* progressDialog() const { return progress_; }
    // How many changes failed so far.
    int failures() const { return failures_; }

  signals:
    // Everything was applied that could be (completed), or the user cancelled (not completed).
    void finished(bool completed);

  private:
    void addFrom(qsizetype index);
    void startLargeFile(const QString& path, qint64 size);
    void largeFileDone();
    void showProgress();
    void finish();

    ComPtr<IFileSet> files_;
    PendingFiles pending_;
    MessageSink& messages_;
    QPointer<QWidget> window_;
    qint64 largeFileBytes_;

    QStringList toAdd_;
    qsizetype next_ = 0;
    bool cancelled_ = false;
    bool done_ = false;
    int failures_ = 0;

    // The large file being stored. The worker writes the outcome before it ends; the main thread
    // reads it once the thread has finished.
    QThread* worker_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    std::atomic<int> workerThreadId_{0};
    std::atomic<qint64> workerBytesBefore_{-1};
    qint64 expectedBytes_ = 0;
    ComPtr<IFile> added_;
    bool addFailed_ = false;
    QString failureText_;
};

} // namespace tarnwick
