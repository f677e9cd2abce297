#pragma once
// Prints the rows of a bug list as the paginated "Bug Report". Rows are read from the list's
// model as each page is drawn (the model fetches them from the engine), never copied; a row the
// model cannot give is printed empty. Works on any QPrinter: a real printer, a PDF file or the
// preview.
//
// A whole job is print(); export runs the same job a page at a time with begin(), printPage()
// and finish(). A page that fails (the printer refuses a new page, or the painter stops) aborts
// the job.
#include <QDate>
#include <QHash>
#include <QPainter>
#include <QString>

#include "client/print/BugReportLayout.h"

class QAbstractItemModel;
class QFontMetricsF;
class QPrinter;

namespace tarnwick {

class BugReportPrinter {
  public:
    explicit BugReportPrinter(const QAbstractItemModel& model);
    ~BugReportPrinter();
    BugReportPrinter(const BugReportPrinter&) = delete;
    BugReportPrinter& operator=(const BugReportPrinter&) = delete;

    // The client's stored date format (%-codes) for the date in the header; empty: the locale's.
    void setDateFormat(const QString& storedFormat) { dateFormat_ = storedFormat; }
    // The day printed in the header (today unless set).
    void setPrintDate(QDate day) { day_ = day; }
    // Rows per page instead of the number that fits (0: what fits).
    void setRowsPerPage(int rows) { forcedRowsPerPage_ = rows; }

    // The layout the model's rows get on the printer's printable area.
    BugReportLayout layoutFor(const QPrinter& printer) const;
    // The header's date text.
    QString dateText() const;

    // Prints every page; nothing at all for an empty list. False when the job failed (it is
    // aborted then); failure() names the page.
    bool print(QPrinter& printer);

    // A job page by page. begin() starts it (the list must have rows); printPage() draws page
    // 1, 2, ... in order; finish() ends the job, abort() abandons it.
    bool begin(QPrinter& printer);
    bool printPage(int page);
    bool finish();
    void abort();
    bool isActive() const { return printer_ != nullptr; }
    const BugReportLayout& layout() const { return layout_; }
    const QString& failure() const { return failure_; }

  private:
    void DrawHeader();
    void DrawRows(int page);
    void DrawFooter(int page);
    bool Fail(const QString& text);
    QString FitText(const QFontMetricsF& metrics, size_t column, const QString& text, int width);

    // Texts cut to their column's width, by column; emptied when they grow past the bound.
    static constexpr qsizetype kFittedTexts = 512;
    std::array<QHash<QString, QString>, kReportColumnCount> fitted_;

    const QAbstractItemModel& model_;
    QString dateFormat_;
    QDate day_;
    int forcedRowsPerPage_ = 0;

    QPrinter* printer_ = nullptr;
    QPainter painter_;
    BugReportLayout layout_;
    QString date_;
    int lastPage_ = 0;
    QString failure_;
};

} // namespace tarnwick
