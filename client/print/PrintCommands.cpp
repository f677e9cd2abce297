#include "client/print/PrintCommands.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "client/list/BugListModel.h"
#include "client/print/BugReportPrinter.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

PrintCommands::PrintCommands(MessageSink& messages, QWidget* window)
    : QObject(window), messages_(messages), window_(window),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      previewPrinter_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintCommands::~PrintCommands() {
    // The dialogs use the printers: they go first.
    delete printDialog_.data();
    delete previewDialog_.data();
}

bool PrintCommands::PrintOn(QPrinter& printer, const QAbstractItemModel& model,
                            const QString& dateFormat, bool report) {
    BugReportPrinter job(model);
    job.setDateFormat(dateFormat);
    job.setRowsPerPage(rowsPerPage_);
    const bool printed = job.print(printer);
    if (!printed && report) messages_.Inform(window_, job.failure());
    return printed;
}

QPrintDialog* PrintCommands::print(const BugListModel& model) {
    return print(model, model.dateFormat());
}

QPrintPreviewDialog* PrintCommands::preview(const BugListModel& model) {
    return preview(model, model.dateFormat());
}

QPrintDialog* PrintCommands::print(const QAbstractItemModel& model, const QString& dateFormat) {
    delete printDialog_.data();
    auto* dialog = new QPrintDialog(printer_.get(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    const QPointer<const QAbstractItemModel> list(&model);
    connect(dialog, &QDialog::accepted, this, [this, list, dateFormat] {
        if (!list) return;
        emit printed(PrintOn(*printer_, *list, dateFormat, true));
    });
    printDialog_ = dialog;
    dialog->open();
    return dialog;
}

QPrintPreviewDialog* PrintCommands::preview(const QAbstractItemModel& model,
                                            const QString& dateFormat) {
    delete previewDialog_.data();
    // A fresh printer for every preview: a printer keeps the pages it last previewed, which an
    // empty list (no page drawn) would otherwise show again.
    previewPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    previewPrinter_->setPageLayout(printer_->pageLayout());
    auto* dialog = new QPrintPreviewDialog(previewPrinter_.get(), window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<const QAbstractItemModel> list(&model);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this,
            [this, list, dateFormat](QPrinter* printer) {
                if (list) PrintOn(*printer, *list, dateFormat, false);
            });
    previewDialog_ = dialog;
    dialog->open();
    return dialog;
}

} // namespace tarnwick
