#include "client/print/ExportCommand.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

#include "client/list/BugListModel.h"
#include "client/print/PrintTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

QString SuffixOf(const QString& filter) {
    return filter == QLatin1String(print_texts::kPdfFilter) ? QStringLiteral("pdf")
                                                            : QStringLiteral("csv");
}

} // namespace

ExportCommand::ExportCommand(MessageSink& messages, QWidget* window)
    : QObject(window), messages_(messages), window_(window) {}

ExportCommand::~ExportCommand() {
    delete fileDialog_.data();
    delete progress_.data();
    delete exporter_.data();
}

bool ExportCommand::isRunning() const {
    return exporter_ && exporter_->outcome() == BugListExporter::Outcome::Running;
}

QFileDialog* ExportCommand::start(const BugListModel& model) {
    delete fileDialog_.data();
    auto* dialog =
        new QFileDialog(window_, QString::fromLatin1(print_texts::kExportCaption), folder_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({QString::fromLatin1(print_texts::kCsvFilter),
                            QString::fromLatin1(print_texts::kPdfFilter)});
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    connect(dialog, &QFileDialog::filterSelected, dialog,
            [dialog](const QString& filter) { dialog->setDefaultSuffix(SuffixOf(filter)); });
    const QPointer<const BugListModel> list(&model);
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog, list](const QString& file) {
        if (!list) return;
        // The kind is the chosen filter's; a name typed with the other extension keeps it.
        const QString suffix = QFileInfo(file).suffix().toLower();
        const BugListExporter::Format format =
            suffix == QLatin1String("pdf") || suffix == QLatin1String("csv")
                ? BugListExporter::FormatOfFile(file)
                : (SuffixOf(dialog->selectedNameFilter()) == QLatin1String("pdf")
                       ? BugListExporter::Format::Pdf
                       : BugListExporter::Format::Csv);
        exportTo(*list, file, format);
    });
    fileDialog_ = dialog;
    dialog->open();
    return dialog;
}

BugListExporter* ExportCommand::exportTo(const BugListModel& model, const QString& fileName,
                                         BugListExporter::Format format) {
    if (isRunning()) return nullptr;
    // The last export may be reporting its end right now: let it return first.
    if (exporter_) exporter_->deleteLater();
    if (progress_) progress_->deleteLater();
    folder_ = QFileInfo(fileName).absolutePath();

    auto* exporter = new BugListExporter(model, fileName, format, this);
    auto* progress = new QProgressDialog(QString::fromLatin1(print_texts::kExportProgress),
                                         QString::fromLatin1(print_texts::kCancel), 0,
                                         std::max(1, model.rowCount()), window_);
    progress->setWindowTitle(QString::fromLatin1(print_texts::kExportCaption));
    progress->setAccessibleName(QString::fromLatin1(print_texts::kExportProgress));
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->setMinimumDuration(0);
    progress->setWindowModality(Qt::WindowModal);
    connect(progress, &QProgressDialog::canceled, exporter, &BugListExporter::cancel);
    connect(exporter, &BugListExporter::progressed, progress,
            [progress](int done) { progress->setValue(done); });
    connect(exporter, &BugListExporter::finished, this, &ExportCommand::Finished);
    exporter_ = exporter;
    progress_ = progress;
    progress->open();
    exporter->start();
    return exporter;
}

void ExportCommand::Finished(BugListExporter::Outcome outcome) {
    if (progress_) {
        progress_->disconnect(exporter_);
        progress_->hide();
        progress_->deleteLater();
    }
    if (outcome == BugListExporter::Outcome::Failed && exporter_)
        messages_.Inform(window_,
                         QString::fromLatin1(print_texts::kExportFailed).arg(exporter_->failure()));
    emit finished(outcome);
}

} // namespace tarnwick
