#pragma once
// Print and Print Preview of a bug list: the print dialog (no page range, no selection) and the
// preview window, each opened without a nested event loop. The model must outlive the dialog.
#include <QObject>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include <memory>

class QAbstractItemModel;
class QPrinter;
class QWidget;

namespace tarnwick {

class BugListModel;
class MessageSink;

class PrintCommands : public QObject {
    Q_OBJECT

  public:
    PrintCommands(MessageSink& messages, QWidget* window);
    ~PrintCommands() override;

    // Opens the print dialog; OK prints the list's rows as they are then, with the list's date
    // format in the header. A failed job is reported through the message sink.
    QPrintDialog* print(const BugListModel& model);
    // Opens the preview of the same pages.
    QPrintPreviewDialog* preview(const BugListModel& model);
    // The same for any model with the bug list's columns.
    QPrintDialog* print(const QAbstractItemModel& model, const QString& dateFormat);
    QPrintPreviewDialog* preview(const QAbstractItemModel& model, const QString& dateFormat);

    QPrintDialog* printDialog() const { return printDialog_; }
    QPrintPreviewDialog* previewDialog() const { return previewDialog_; }
    // The printer the dialogs use (kept between jobs, as the user set it up).
    QPrinter& printer() { return *printer_; }

    // Rows per page instead of what fits (tests).
    void setRowsPerPage(int rows) { rowsPerPage_ = rows; }

  signals:
    // After a job from the print dialog: whether every page was printed.
    void printed(bool succeeded);

  private:
    bool PrintOn(QPrinter& printer, const QAbstractItemModel& model, const QString& dateFormat,
                 bool report);

    MessageSink& messages_;
    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPrinter> previewPrinter_;
    QPointer<QPrintDialog> printDialog_;
    QPointer<QPrintPreviewDialog> previewDialog_;
    int rowsPerPage_ = 0;
};

} // namespace tarnwick
