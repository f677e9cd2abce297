#pragma once
// Writes the bug list as its model shows it now (the user's filter, the quick search and the
// sort are the engine set's own state) to a CSV or PDF file. Rows are read through the model,
// a batch at a time: start() runs the batches on a zero timer so that the window and a
// progress dialog stay responsive; runNow() runs them at once (tests, scripts).
//
// The file appears only when everything was written: the text goes to a temporary file beside
// the target, renamed over it at the end. A cancel, a failure, a row the engine cannot give or
// a change of the list while exporting leaves no new file and an existing target untouched.
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace tarnwick {

class BugListModel;

class BugListExporter : public QObject {
    Q_OBJECT

  public:
    enum class Format { Csv, Pdf };
    Q_ENUM(Format)
    enum class Outcome { NotStarted, Running, Written, Cancelled, Failed };
    Q_ENUM(Outcome)

    static constexpr int kDefaultBatchRows = 500;

    BugListExporter(const BugListModel& model, const QString& target, Format format,
                    QObject* parent = nullptr);
    ~BugListExporter() override;

    // The list's columns written to CSV, in order (default: every column with text, 1 to 15).
    void setColumns(const QList<int>& columns) { columns_ = columns; }
    // Rows written per batch (CSV); PDF writes whole pages per batch, at least one.
    void setBatchRows(int rows) { batchRows_ = rows > 0 ? rows : kDefaultBatchRows; }
    // Rows per PDF page instead of what fits (tests).
    void setRowsPerPage(int rows) { rowsPerPage_ = rows; }

    // Begins in the background; progressed and finished follow.
    void start();
    // Runs every batch now and returns the outcome; cancel() from a progressed handler stops it.
    Outcome runNow();
    // Stops after the batch in hand; nothing is written.
    void cancel();

    const QString& target() const { return target_; }
    Format format() const { return format_; }
    int rowCount() const { return rowCount_; }
    int rowsDone() const { return rowsDone_; }
    Outcome outcome() const { return outcome_; }
    // Why it failed (an engine message, a file error), empty otherwise.
    const QString& failure() const { return failure_; }

    // The format a file name asks for by its extension (CSV unless it ends in .pdf).
    static Format FormatOfFile(const QString& fileName);

  signals:
    void progressed(int rowsDone, int rowCount);
    void finished(tarnwick::BugListExporter::Outcome outcome);

  private:
    struct Writer;
    struct CsvWriter;
    struct PdfWriter;

    bool Open();
    bool Step();
    void Finish(Outcome outcome, const QString& failure = QString());
    void ListChanged();

    const BugListModel& model_;
    QString target_;
    Format format_;
    QList<int> columns_;
    int batchRows_ = kDefaultBatchRows;
    int rowsPerPage_ = 0;

    std::unique_ptr<Writer> writer_;
    QTimer timer_;
    int rowCount_ = 0;
    int rowsDone_ = 0;
    bool cancelRequested_ = false;
    bool listChanged_ = false;
    Outcome outcome_ = Outcome::NotStarted;
    QString failure_;
    QList<QMetaObject::Connection> watches_;
};

} // namespace tarnwick
