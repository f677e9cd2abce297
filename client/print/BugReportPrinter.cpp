#include "client/print/BugReportPrinter.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QPrinter>

#include "client/config/OleDate.h"
#include "client/list/BugListColumns.h"
#include "client/list/DateText.h"
#include "client/print/PrintTexts.h"

namespace tarnwick {

namespace {

const QColor kGridColor(192, 192, 192);

// One line of cell text: line breaks and tabs become blanks.
QString OneLine(QString text) {
    for (QChar& c : text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    return text;
}

} // namespace

BugReportPrinter::BugReportPrinter(const QAbstractItemModel& model) : model_(model) {}

BugReportPrinter::~BugReportPrinter() {
    if (isActive()) abort();
}

BugReportLayout BugReportPrinter::layoutFor(const QPrinter& printer) const {
    return BugReportLayout::Prepare(printer.width(), printer.height(), model_.rowCount(),
                                    forcedRowsPerPage_);
}

QString BugReportPrinter::dateText() const {
    const QDate day = day_.isValid() ? day_ : QDate::currentDate();
    return DateText(OleDateFromDate(day), dateFormat_);
}

bool BugReportPrinter::print(QPrinter& printer) {
    if (layoutFor(printer).pageCount == 0) return true; // an empty list prints no page
    if (!begin(printer)) return false;
    for (int page = 1; page <= layout_.pageCount; ++page)
        if (!printPage(page)) return false;
    return finish();
}

bool BugReportPrinter::begin(QPrinter& printer) {
    if (isActive()) abort();
    failure_.clear();
    layout_ = layoutFor(printer);
    for (auto& fitted : fitted_)
        fitted.clear();
    if (layout_.pageCount == 0) return Fail(QString::fromLatin1(print_texts::kNothingToPrint));
    printer.setDocName(QString::fromLatin1(print_texts::kDocumentName));
    if (!painter_.begin(&printer))
        return Fail(QString::fromLatin1(print_texts::kPrintingNotStarted));
    printer_ = &printer;
    lastPage_ = 0;
    date_ = dateText();
    painter_.setViewport(0, 0, printer.width(), printer.height());
    painter_.setWindow(0, 0, BugReportLayout::kPageWidth, layout_.pageHeight);
    return true;
}

bool BugReportPrinter::printPage(int page) {
    if (!isActive() || page != lastPage_ + 1 || page > layout_.pageCount) return false;
    const QString failed = QString::fromLatin1(print_texts::kPrintingFailed).arg(page);
    if (page > 1 && !printer_->newPage()) {
        abort();
        return Fail(failed);
    }
    DrawHeader();
    DrawRows(page);
    DrawFooter(page);
    if (!painter_.isActive() || printer_->printerState() == QPrinter::Error ||
        printer_->printerState() == QPrinter::Aborted) {
        abort();
        return Fail(failed);
    }
    lastPage_ = page;
    return true;
}

bool BugReportPrinter::finish() {
    if (!isActive()) return false;
    const bool ended = painter_.end();
    const bool failed = printer_->printerState() == QPrinter::Error;
    printer_ = nullptr;
    if (!ended || failed)
        return Fail(QString::fromLatin1(print_texts::kPrintingFailed).arg(std::max(1, lastPage_)));
    return true;
}

void BugReportPrinter::abort() {
    if (!isActive()) return;
    printer_->abort();
    if (painter_.isActive()) painter_.end();
    printer_ = nullptr;
}

bool BugReportPrinter::Fail(const QString& text) {
    failure_ = text;
    return false;
}

void BugReportPrinter::DrawHeader() {
    const int width = BugReportLayout::kPageWidth;
    painter_.setPen(Qt::black);
    painter_.setFont(layout_.largeFont);
    const QRect line(0, 10, width, 24);
    painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromLatin1(print_texts::kReportTitle));
    painter_.setFont(layout_.smallFont);
    painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, date_);
    painter_.drawLine(0, 40, width, 40);
}

QString BugReportPrinter::FitText(const QFontMetricsF& metrics, size_t column, const QString& text,
                                  int width) {
    if (text.isEmpty()) return text;
    QHash<QString, QString>& fitted = fitted_[column];
    if (const auto known = fitted.constFind(text); known != fitted.constEnd()) return *known;
    const QString cut = metrics.elidedText(OneLine(text), Qt::ElideRight, width);
    if (fitted.size() >= kFittedTexts) fitted.clear();
    fitted.insert(text, cut);
    return cut;
}

void BugReportPrinter::DrawRows(int page) {
    const int first = layout_.firstRowOf(page);
    const int rows = layout_.rowsOn(page);
    const int height = layout_.rowHeight;
    const QFontMetricsF metrics(layout_.smallFont);
    painter_.setFont(layout_.smallFont);

    // Captions, then the page's rows, each cell's text cut to its width. Most cells repeat a
    // few texts (statuses, priorities, classifications): their cut forms are kept.
    const qreal baseline = BugReportLayout::kTextTop + metrics.ascent();
    const auto drawRow = [&](int top, const auto& textOf) {
        for (size_t i = 0; i < kReportColumns.size(); ++i) {
            const ReportColumn& column = kReportColumns[i];
            const int left = layout_.columnEdges[i] + column.textOffset;
            const int right = layout_.columnEdges[i + 1] - 2;
            if (right <= left) continue;
            const QString text = FitText(metrics, i, textOf(column.listColumn), right - left);
            if (!text.isEmpty()) painter_.drawText(QPointF(left, top + baseline), text);
        }
    };
    painter_.setPen(Qt::black);
    drawRow(layout_.tableTop(), [&](int column) {
        return model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    });
    for (int n = 0; n < rows; ++n) {
        const int row = first + n;
        drawRow(layout_.rowTop(n), [&](int column) {
            return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
        });
    }

    // The grid: a line above every row and below the last, and the column edges.
    painter_.setPen(QPen(kGridColor, 0));
    const int top = layout_.tableTop();
    const int bottom = layout_.rowTop(rows);
    const int left = layout_.columnEdges.front();
    const int right = layout_.columnEdges.back();
    for (int n = 0; n <= rows + 1; ++n) {
        const int y = top + n * height;
        painter_.drawLine(left, y, right, y);
    }
    for (const int x : layout_.columnEdges)
        painter_.drawLine(x, top, x, bottom);
}

void BugReportPrinter::DrawFooter(int page) {
    const int width = BugReportLayout::kPageWidth;
    const int rule = layout_.footerRule();
    painter_.setPen(Qt::black);
    painter_.setFont(layout_.smallFont);
    painter_.drawLine(0, rule, width, rule);
    painter_.drawText(QRect(0, rule + 4, width, layout_.rowHeight), Qt::AlignHCenter | Qt::AlignTop,
                      QString::asprintf(print_texts::kPageNumber, page, layout_.pageCount));
}

} // namespace tarnwick
