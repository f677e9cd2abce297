#pragma once
// Export of a bug list: a file dialog chooses the file and its kind ("CSV (*.csv)" or
// "PDF (*.pdf)"), then the export runs in the background behind a progress dialog whose Cancel
// stops it. A failure is shown through the message sink; a cancel shows nothing. Everything
// opens without a nested event loop. The model must outlive the export.
#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include "client/print/BugListExporter.h"

class QWidget;

namespace tarnwick {

class BugListModel;
class MessageSink;

class ExportCommand : public QObject {
    Q_OBJECT

  public:
    ExportCommand(MessageSink& messages, QWidget* window);
    ~ExportCommand() override;

    // Opens the file dialog for the list (in the folder of the last export).
    QFileDialog* start(const BugListModel& model);
    // Exports the list to the file at once in the background, as OK in the file dialog does.
    BugListExporter* exportTo(const BugListModel& model, const QString& fileName,
                              BugListExporter::Format format);

    QFileDialog* fileDialog() const { return fileDialog_; }
    QProgressDialog* progressDialog() const { return progress_; }
    BugListExporter* exporter() const { return exporter_; }
    bool isRunning() const;

  signals:
    void finished(tarnwick::BugListExporter::Outcome outcome);

  private:
    void Finished(BugListExporter::Outcome outcome);

    MessageSink& messages_;
    QWidget* window_;
    QString folder_;
    QPointer<QFileDialog> fileDialog_;
    QPointer<QProgressDialog> progress_;
    QPointer<BugListExporter> exporter_;
};

} // namespace tarnwick
