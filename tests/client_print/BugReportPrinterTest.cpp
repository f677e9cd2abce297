// The printed bug report: its layout numbers, the pages it prints to a PDF file (read back with
// poppler's tools), a page that fails, and the print and preview dialogs.
#include <QFile>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include "client/list/BugListColumns.h"
#include "client/print/BugReportPrinter.h"
#include "client/print/PrintCommands.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_print/PdfCheck.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// A list of the bug list's columns with rows "Row N" whose IDs are 1000 + N (N from 1).
std::unique_ptr<QStandardItemModel> ListOf(int rows) {
    auto model = std::make_unique<QStandardItemModel>(rows, kBugListColumnCount);
    for (int column = 0; column < kBugListColumnCount; ++column)
        model->setHeaderData(
            column, Qt::Horizontal,
            QString::fromLatin1(kBugListColumns[static_cast<size_t>(column)].caption));
    for (int row = 0; row < rows; ++row) {
        model->setData(model->index(row, kIdColumn), QString::number(1001 + row));
        model->setData(model->index(row, kDescriptionColumn),
                       QStringLiteral("Row %1").arg(row + 1));
        model->setData(model->index(row, kStatusColumn), QStringLiteral("Active"));
        model->setData(model->index(row, kPriorityColumn), QStringLiteral("High"));
        model->setData(model->index(row, kSeverityColumn), QStringLiteral("Minor"));
        model->setData(model->index(row, kReproductiveColumn), QStringLiteral("Always"));
        model->setData(model->index(row, kClassificationColumn), QStringLiteral("Backend"));
    }
    return model;
}

std::unique_ptr<QPrinter> PdfPrinter(const QString& file) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

// The row IDs (1001...) printed on a page, in order.
QList<int> IdsOnPage(const QString& text) {
    QList<int> ids;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        bool ok = false;
        const int id = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty).toInt(&ok);
        if (ok && id > 1000) ids.append(id);
    }
    return ids;
}

QList<int> Range(int first, int last) {
    QList<int> ids;
    for (int id = first; id <= last; ++id)
        ids.append(id);
    return ids;
}

// A printer whose n-th new page fails, as a printer out of paper or a full disk does.
class FailingPrinter : public QPrinter {
  public:
    explicit FailingPrinter(int failingPage) : QPrinter(HighResolution), failing_(failingPage) {}
    bool newPage() override { return ++page_ + 1 == failing_ ? false : QPrinter::newPage(); }

  private:
    int failing_;
    int page_ = 0;
};

} // namespace

class BugReportPrinterTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void layoutNumbersFollowThePage();
    void aTinyPageStillTakesOneRow();
    void anEmptyListPrintsNoPage();
    void fortyFiveRowsAtTwentyPerPage();
    void naturalRowsPerPageFillThePage();
    void reportFontIsArialOrItsMetricTwin();
    void aFailedPageAbortsTheJob();
    void printDialogOffersNoRangeAndPrintsAllPages();
    void previewShowsTheSamePages();

  private:
    std::unique_ptr<QTemporaryDir> folder_;
};

void BugReportPrinterTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
}

void BugReportPrinterTest::layoutNumbersFollowThePage() {
    const BugReportLayout layout = BugReportLayout::Prepare(4800, 6800, 200);
    QCOMPARE(layout.pageHeight, 630 * 6800 / 4800);
    // The measured text has an extra "A"; the width is still divided by 52.
    QCOMPARE(QString::fromLatin1(BugReportLayout::kMeasureText).size(), 53);
    QVERIFY(layout.largeCharWidth > layout.smallCharWidth);
    const int rowsPerPage = (layout.pageHeight - 86 - layout.rowHeight) / layout.rowHeight;
    QCOMPARE(layout.rowsPerPage, rowsPerPage);
    QCOMPARE(layout.pageCount, (200 + rowsPerPage - 1) / rowsPerPage);
    QCOMPARE(layout.rowsOn(layout.pageCount), 200 - (layout.pageCount - 1) * rowsPerPage);
    QCOMPARE(layout.rowsOn(layout.pageCount + 1), 0);

    // The table fits between header and footer, and the columns across the page.
    QVERIFY(layout.rowTop(layout.rowsPerPage) < layout.footerRule());
    QVERIFY(layout.columnEdges.back() <= BugReportLayout::kPageWidth);
    for (size_t i = 1; i < layout.columnEdges.size(); ++i)
        QVERIFY(layout.columnEdges[i] > layout.columnEdges[i - 1]);
    // A landscape page is shorter: fewer rows.
    QVERIFY(BugReportLayout::Prepare(6800, 4800, 200).rowsPerPage < rowsPerPage);
}

void BugReportPrinterTest::aTinyPageStillTakesOneRow() {
    // A page too short for any row (or a device that reports no size) must not divide by zero
    // or print nothing: one row per page.
    const BugReportLayout tiny = BugReportLayout::Prepare(1000, 100, 3);
    QCOMPARE(tiny.rowsPerPage, 1);
    QCOMPARE(tiny.pageCount, 3);
    const BugReportLayout none = BugReportLayout::Prepare(0, 0, 3);
    QCOMPARE(none.rowsPerPage, 1);
    QCOMPARE(BugReportLayout::Prepare(1000, 100, 0).pageCount, 0);
}

void BugReportPrinterTest::anEmptyListPrintsNoPage() {
    const auto model = ListOf(0);
    const QString file = folder_->filePath(QStringLiteral("empty.pdf"));
    const auto printer = PdfPrinter(file);
    BugReportPrinter report(*model);
    QCOMPARE(report.layoutFor(*printer).pageCount, 0);
    // No page means no job: the printer is never started, so no file is written.
    QVERIFY(report.print(*printer));
    QVERIFY(!QFile::exists(file));
    QVERIFY(!report.isActive());
    // Asked for page by page, the job refuses to start.
    QVERIFY(!report.begin(*printer));
    QVERIFY(!report.failure().isEmpty());
    QVERIFY(!QFile::exists(file));
}

void BugReportPrinterTest::fortyFiveRowsAtTwentyPerPage() {
    const auto model = ListOf(45);
    const QString file = folder_->filePath(QStringLiteral("45.pdf"));
    const auto printer = PdfPrinter(file);
    BugReportPrinter report(*model);
    report.setRowsPerPage(20);
    report.setDateFormat(QStringLiteral("%d,%b,%Y"));
    report.setPrintDate(QDate(2004, 1, 21));
    QCOMPARE(report.dateText(), QStringLiteral("21,Jan,2004"));
    QVERIFY2(report.print(*printer), qPrintable(report.failure()));
    QCOMPARE(report.layout().pageCount, 3);

    QCOMPARE(PdfPageCount(file), 3);
    QCOMPARE(PdfInfo(file, QStringLiteral("Title")), QStringLiteral("Tarnwick"));
    const QList<QList<int>> expected = {Range(1001, 1020), Range(1021, 1040), Range(1041, 1045)};
    for (int page = 1; page <= 3; ++page) {
        const QString text = PdfPageText(file, page);
        QVERIFY2(text.contains(QStringLiteral("Bug Report")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("21,Jan,2004")));
        QVERIFY(text.contains(QStringLiteral("%1/3").arg(page)));
        // The captions as the list shows them, then the page's share of rows in order.
        QVERIFY(text.contains(QStringLiteral("Descriptoin")));
        QVERIFY(text.contains(QStringLiteral("Classification")));
        QCOMPARE(IdsOnPage(text), expected.at(page - 1));
    }
    const QString last = PdfPageText(file, 3);
    QVERIFY(last.contains(QStringLiteral("Row 45")));
    QVERIFY(!last.contains(QStringLiteral("Row 40 ")));
    QVERIFY(last.contains(QStringLiteral("Backend")));
}

void BugReportPrinterTest::naturalRowsPerPageFillThePage() {
    auto probe = PdfPrinter(folder_->filePath(QStringLiteral("probe.pdf")));
    const auto none = ListOf(0);
    const int fitting = BugReportPrinter(*none).layoutFor(*probe).rowsPerPage;
    QVERIFY(fitting > 20);

    const auto model = ListOf(fitting + 1);
    const QString file = folder_->filePath(QStringLiteral("natural.pdf"));
    const auto printer = PdfPrinter(file);
    BugReportPrinter report(*model);
    QVERIFY(report.print(*printer));
    QCOMPARE(PdfPageCount(file), 2);
    QCOMPARE(IdsOnPage(PdfPageText(file, 1)), Range(1001, 1000 + fitting));
    QCOMPARE(IdsOnPage(PdfPageText(file, 2)), QList<int>{1001 + fitting});
    QVERIFY(PdfPageText(file, 2).contains(QStringLiteral("2/2")));
}

void BugReportPrinterTest::reportFontIsArialOrItsMetricTwin() {
    const QString family = QFontInfo(ReportFont(9)).family();
    QVERIFY2(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans") ||
                 family == QLatin1String("Arimo"),
             qPrintable(family));
    const auto model = ListOf(3);
    const QString file = folder_->filePath(QStringLiteral("fonts.pdf"));
    const auto printer = PdfPrinter(file);
    QVERIFY(BugReportPrinter(*model).print(*printer));
    const QStringList fonts = PdfFonts(file);
    QVERIFY(!fonts.isEmpty());
    for (const QString& font : fonts)
        QVERIFY2(font.contains(QLatin1String("Arial")) ||
                     font.contains(QLatin1String("Liberation")) ||
                     font.contains(QLatin1String("Arimo")),
                 qPrintable(fonts.join(QLatin1Char(' '))));
}

void BugReportPrinterTest::aFailedPageAbortsTheJob() {
    const auto model = ListOf(45);
    FailingPrinter printer(2);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder_->filePath(QStringLiteral("failing.pdf")));
    BugReportPrinter report(*model);
    report.setRowsPerPage(20);
    QVERIFY(!report.print(printer));
    QCOMPARE(report.failure(), QStringLiteral("Printing failed on page 2."));
    QVERIFY(!report.isActive());
    // Nothing more is drawn after the failure.
    QVERIFY(!report.printPage(3));

    // A painter that cannot start (no output file can be made) fails before any page.
    const auto unwritable = PdfPrinter(folder_->filePath(QStringLiteral("missing/dir/x.pdf")));
    QVERIFY(!report.print(*unwritable));
    QCOMPARE(report.failure(), QStringLiteral("Printing could not start."));
}

void BugReportPrinterTest::printDialogOffersNoRangeAndPrintsAllPages() {
    const auto model = ListOf(45);
    RecordingMessageSink messages;
    QWidget window;
    PrintCommands commands(messages, &window);
    commands.setRowsPerPage(20);
    // The list model of the client is a BugListModel; the dialog takes any list via the
    // report, here through a model of the same columns.
    const QString file = folder_->filePath(QStringLiteral("dialog.pdf"));
    commands.printer().setOutputFormat(QPrinter::PdfFormat);
    commands.printer().setOutputFileName(file);
    QSignalSpy printed(&commands, &PrintCommands::printed);
    QPrintDialog* dialog = commands.printDialog();
    QVERIFY(!dialog);
    dialog = commands.print(*model, QString());
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));
    QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintSelection));
    dialog->accept();
    QCOMPARE(printed.size(), 1);
    QCOMPARE(printed.at(0).at(0).toBool(), true);
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(PdfPageCount(file), 3);

    // A job that cannot start is reported, not taken for printed.
    commands.printer().setOutputFileName(folder_->filePath(QStringLiteral("missing/x.pdf")));
    commands.print(*model, QString())->accept();
    QCOMPARE(printed.size(), 2);
    QCOMPARE(printed.at(1).at(0).toBool(), false);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Printing could not start.")});
}

void BugReportPrinterTest::previewShowsTheSamePages() {
    const auto model = ListOf(45);
    RecordingMessageSink messages;
    QWidget window;
    PrintCommands commands(messages, &window);
    commands.setRowsPerPage(20);
    QPrintPreviewDialog* dialog = commands.preview(*model, QString());
    QVERIFY(dialog->isVisible());
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    QVERIFY(preview);
    QTRY_COMPARE(preview->pageCount(), 3);
    dialog->close();
    QTRY_VERIFY(!commands.previewDialog());

    // An empty list previews no page.
    const auto empty = ListOf(0);
    auto* emptyPreview = commands.preview(*empty, QString())->findChild<QPrintPreviewWidget*>();
    QTRY_COMPARE(emptyPreview->pageCount(), 0);
}

QTEST_MAIN(BugReportPrinterTest)
#include "BugReportPrinterTest.moc"
