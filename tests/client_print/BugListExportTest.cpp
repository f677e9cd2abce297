// Export of the shown list over a real bug set: CSV read back by an RFC 4180 parser, the
// filter, quick search and sort as the list has them, PDF pages, and every way an export can
// end without a file: cancel, failure, a list that changes, an empty list for PDF.
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "client/config/OleDate.h"
#include "client/list/BugListColumns.h"
#include "client/list/BugListModel.h"
#include "client/print/BugListExporter.h"
#include "client/print/CsvText.h"
#include "client/print/ExportCommand.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_list/ListSession.h"
#include "tests/client_print/PdfCheck.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;
using Outcome = BugListExporter::Outcome;
using Format = BugListExporter::Format;

namespace {

// Reads RFC 4180 text: records end with CRLF, quoted fields may hold commas, CRLF and doubled
// quotes. Fails the test on anything else (a bare quote, a lone LF between records).
QList<QStringList> ParseCsv(const QString& text, bool* ok) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    *ok = true;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text.at(i) == QLatin1Char('"')) {
            ++i;
            for (;;) {
                if (i >= n) return *ok = false, records;
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text.at(i++);
            }
        } else {
            while (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\r') &&
                   text.at(i) != QLatin1Char('\n')) {
                if (text.at(i) == QLatin1Char('"')) return *ok = false, records;
                field += text.at(i++);
            }
        }
        if (i < n && text.at(i) == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            ++i;
            continue;
        }
        if (i + 1 < n && text.at(i) == QLatin1Char('\r') && text.at(i + 1) == QLatin1Char('\n')) {
            record.append(field);
            field.clear();
            records.append(record);
            record.clear();
            i += 2;
            continue;
        }
        return *ok = false, records; // a record must end with CRLF
    }
    if (!record.isEmpty() || !field.isEmpty()) *ok = false;
    return records;
}

QList<QStringList> ReadCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) return {}; // no byte-order mark
    bool ok = false;
    const QList<QStringList> records = ParseCsv(QString::fromUtf8(bytes), &ok);
    return ok ? records : QList<QStringList>();
}

QStringList ListCaptions() {
    QStringList captions;
    for (int column = kIdColumn; column < kBugListColumnCount; ++column)
        captions.append(QString::fromLatin1(kBugListColumns[static_cast<size_t>(column)].caption));
    return captions;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kQuoted = QStringLiteral("Crash on \"Save\", then \"Undo\"");
const QString kMultiLine = QStringLiteral("First line\r\nsecond, with comma\nthird");
const QString kNonAscii = QStringLiteral("Zürich – 東京 ✓ naïve café");
const QString kBlanks = QStringLiteral("  padded  ");

} // namespace

class BugListExportTest : public QObject {
    Q_OBJECT

    ClientTestEnvironment environment_;
    QString database_;
    ListSession session_;
    ComPtr<IBugFilterSet> filter_; // the set's own, as it was opened
    QList<LONG> odd_;              // the stored bugs with awkward descriptions

  private slots:
    void initTestCase();
    void init();
    void csvTextQuotesOnlyWhatItMust();
    void csvReadsBackWithEveryAwkwardText();
    void csvFollowsSortAndQuickSearch();
    void cancelLeavesNoFileAndKeepsTheOldOne_data();
    void cancelLeavesNoFileAndKeepsTheOldOne();
    void failuresLeaveNoFile();
    void aListChangingDuringExportStopsIt();
    void pdfHasTheReportPages();
    void commandRunsBehindAProgressDialog();
    void fileDialogChoosesFileAndKind();

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<BugListModel> model_;
};

void BugListExportTest::initTestCase() {
    database_ = environment_.DemoDatabase(QStringLiteral("export.mdb"), 400);
    session_ = OpenListSession(database_);
    filter_ = Object(session_.bugs.Get(), &IBugSet::get_FilterSet);
    for (const QString& text : {kQuoted, kMultiLine, kNonAscii, kBlanks})
        odd_.append(
            Long(StoreBug(session_.bugs.Get(), session_.versionID, text).Get(), &IBug::get_ID));
}

void BugListExportTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    model_ = std::make_unique<BugListModel>();
    Check(session_.bugs->put_FilterSet(filter_.Get()));
    Check(session_.bugs->Sort(ColID, eAsc));
    model_->setBugSet(session_.bugs);
    model_->refresh();
    QVERIFY2(model_->rowCount() > 40, qPrintable(QString::number(model_->rowCount())));
}

void BugListExportTest::csvTextQuotesOnlyWhatItMust() {
    QString out;
    AppendCsvRecord(out,
                    {QStringLiteral("plain"), QStringLiteral("a,b"), QStringLiteral("say \"x\""),
                     QStringLiteral("two\nlines"), QString(), QStringLiteral(" x")});
    QCOMPARE(out, QStringLiteral("plain,\"a,b\",\"say \"\"x\"\"\",\"two\nlines\",,\" x\"\r\n"));
    QCOMPARE(IsoDateText(0.0), QString());
    const DATE day = OleDateFromDate(QDate(2004, 1, 21));
    QCOMPARE(IsoDateText(day), QStringLiteral("2004-01-21"));
    QCOMPARE(IsoDateText(day + 0.75), QStringLiteral("2004-01-21T18:00:00"));
}

void BugListExportTest::csvReadsBackWithEveryAwkwardText() {
    const QString file = folder_->filePath(QStringLiteral("list.csv"));
    BugListExporter exporter(*model_, file, Format::Csv);
    exporter.setBatchRows(7); // several batches, the last one short
    QSignalSpy progressed(&exporter, &BugListExporter::progressed);
    QCOMPARE(exporter.runNow(), Outcome::Written);
    QVERIFY(exporter.failure().isEmpty());
    QVERIFY(progressed.size() > 2);
    QCOMPARE(progressed.last().at(0).toInt(), model_->rowCount());

    const QByteArray bytes = Contents(file);
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QStringList> records = ReadCsv(file);
    QCOMPARE(records.size(), model_->rowCount() + 1);
    QCOMPARE(records.first(), ListCaptions()); // "Descriptoin" as the list has it
    for (int row = 0; row < model_->rowCount(); ++row) {
        const QStringList& record = records.at(row + 1);
        QCOMPARE(record.size(), 15);
        QCOMPARE(record.at(0), QString::number(model_->bugIdAt(row)));
        // Text columns read as the list shows them.
        for (const int column :
             {kStatusColumn, kSeverityColumn, kClassificationColumn, kReportedByColumn})
            QCOMPARE(record.at(column - 1), model_->data(model_->index(row, column)).toString());
        // Dates in ISO 8601 or empty.
        for (const int column : {kReportedDateColumn, kFixedDateColumn, kVerifiedDateColumn}) {
            const QString date = record.at(column - 1);
            QVERIFY2(date.isEmpty() || QDate::fromString(date.left(10), Qt::ISODate).isValid(),
                     qPrintable(date));
        }
    }
    // Every awkward description comes back exactly.
    QStringList descriptions;
    for (const QStringList& record : records)
        descriptions.append(record.at(1));
    for (const QString& text : {kQuoted, kMultiLine, kNonAscii, kBlanks})
        QVERIFY2(descriptions.contains(text), qPrintable(text));
    QVERIFY(bytes.contains(kNonAscii.toUtf8()));
    // Nothing else in the folder: the temporary file was renamed.
    QCOMPARE(FilesIn(folder_->path()), QStringList{QStringLiteral("list.csv")});
}

void BugListExportTest::csvFollowsSortAndQuickSearch() {
    model_->sortBy(ColID, eDesc);
    const QString sorted = folder_->filePath(QStringLiteral("sorted.csv"));
    QCOMPARE(BugListExporter(*model_, sorted, Format::Csv).runNow(), Outcome::Written);
    QList<QStringList> records = ReadCsv(sorted);
    QCOMPARE(records.size(), model_->rowCount() + 1);
    for (int i = 2; i < records.size(); ++i)
        QVERIFY(records.at(i).at(0).toInt() < records.at(i - 1).at(0).toInt());

    // The quick search narrows the export to what the list shows.
    model_->setQuickSearch(QStringLiteral("Zürich"));
    QCOMPARE(model_->rowCount(), 1);
    const QString found = folder_->filePath(QStringLiteral("found.csv"));
    BugListExporter searched(*model_, found, Format::Csv);
    searched.setColumns({kIdColumn, kDescriptionColumn});
    QCOMPARE(searched.runNow(), Outcome::Written);
    records = ReadCsv(found);
    QCOMPARE(records, (QList<QStringList>{{QStringLiteral("ID"), QStringLiteral("Descriptoin")},
                                          {QString::number(odd_.at(2)), kNonAscii}}));
    model_->setQuickSearch(QString());
}

void BugListExportTest::cancelLeavesNoFileAndKeepsTheOldOne_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("existing");
    QTest::newRow("csv, new file") << Format::Csv << false;
    QTest::newRow("csv, over a file") << Format::Csv << true;
    QTest::newRow("pdf, new file") << Format::Pdf << false;
    QTest::newRow("pdf, over a file") << Format::Pdf << true;
}

void BugListExportTest::cancelLeavesNoFileAndKeepsTheOldOne() {
    QFETCH(Format, format);
    QFETCH(bool, existing);
    const QString file = folder_->filePath(format == Format::Csv ? QStringLiteral("out.csv")
                                                                 : QStringLiteral("out.pdf"));
    const QByteArray old("the export of last week\r\n");
    if (existing) QVERIFY(WriteFile(file, old));

    BugListExporter exporter(*model_, file, format);
    exporter.setBatchRows(10);
    exporter.setRowsPerPage(10);
    // The user cancels once 20 rows are written.
    connect(&exporter, &BugListExporter::progressed, &exporter, [&](int done) {
        if (done >= 20) exporter.cancel();
    });
    QSignalSpy finished(&exporter, &BugListExporter::finished);
    QCOMPARE(exporter.runNow(), Outcome::Cancelled);
    QCOMPARE(exporter.rowsDone(), 20);
    QCOMPARE(finished.size(), 1);
    QVERIFY(exporter.failure().isEmpty());
    if (existing) {
        QCOMPARE(Contents(file), old);
        QCOMPARE(FilesIn(folder_->path()), QStringList{QFileInfo(file).fileName()});
    } else {
        QVERIFY(!QFile::exists(file));
        QCOMPARE(FilesIn(folder_->path()), QStringList());
    }
}

void BugListExportTest::failuresLeaveNoFile() {
    // A folder that does not exist.
    BugListExporter nowhere(*model_, folder_->filePath(QStringLiteral("no/such/x.csv")),
                            Format::Csv);
    QCOMPARE(nowhere.runNow(), Outcome::Failed);
    QVERIFY(!nowhere.failure().isEmpty());
    BugListExporter nowherePdf(*model_, folder_->filePath(QStringLiteral("no/such/x.pdf")),
                               Format::Pdf);
    QCOMPARE(nowherePdf.runNow(), Outcome::Failed);

    // An empty list: CSV has its header only, PDF has no page and is refused.
    BugListModel empty;
    const QString csv = folder_->filePath(QStringLiteral("empty.csv"));
    QCOMPARE(BugListExporter(empty, csv, Format::Csv).runNow(), Outcome::Written);
    QCOMPARE(ReadCsv(csv), QList<QStringList>{ListCaptions()});
    const QString pdf = folder_->filePath(QStringLiteral("empty.pdf"));
    BugListExporter emptyPdf(empty, pdf, Format::Pdf);
    QCOMPARE(emptyPdf.runNow(), Outcome::Failed);
    QCOMPARE(emptyPdf.failure(),
             QStringLiteral("the list is empty, so there is no page to export."));
    QCOMPARE(FilesIn(folder_->path()), QStringList{QStringLiteral("empty.csv")});

    // A list whose rows the engine no longer gives (its set was narrowed behind the list's
    // back): the first unreadable row stops the export with a message instead of writing empty
    // lines.
    ListSession other = OpenListSession(database_, session_.versionID);
    BugListModel narrowed;
    narrowed.setBugSet(other.bugs);
    narrowed.refresh();
    QVERIFY(narrowed.rowCount() > 0);
    auto nothing = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    auto condition = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(condition->put_Field(ToBstr(QStringLiteral("StatusName")).Get()));
    Check(condition->put_Condition(Equal));
    velmora::com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = ToBstr(QStringLiteral("No such status")).Detach();
    Check(condition->put_Value(value));
    Check(nothing->Add(condition.Get()));
    Check(other.bugs->put_FilterSet(nothing.Get()));
    for (const Format format : {Format::Csv, Format::Pdf}) {
        const QString unreadable = folder_->filePath(
            format == Format::Csv ? QStringLiteral("unreadable.csv") : QStringLiteral("x.pdf"));
        BugListExporter broken(narrowed, unreadable, format);
        QCOMPARE(broken.runNow(), Outcome::Failed);
        QVERIFY2(
            broken.failure().startsWith(QStringLiteral("row 1 of the list could not be read.")),
            qPrintable(broken.failure()));
        QVERIFY(!QFile::exists(unreadable));
    }
    QCOMPARE(FilesIn(folder_->path()), QStringList{QStringLiteral("empty.csv")});
}

void BugListExportTest::aListChangingDuringExportStopsIt() {
    const QString file = folder_->filePath(QStringLiteral("changing.csv"));
    BugListExporter exporter(*model_, file, Format::Csv);
    exporter.setBatchRows(10);
    QSignalSpy finished(&exporter, &BugListExporter::finished);
    connect(&exporter, &BugListExporter::progressed, this, [&](int done) {
        if (done == 10) model_->refresh(); // the user refreshes while it runs
    });
    exporter.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(exporter.outcome(), Outcome::Failed);
    QCOMPARE(exporter.failure(), QStringLiteral("the list changed while it was being exported."));
    QCOMPARE(FilesIn(folder_->path()), QStringList());
}

void BugListExportTest::pdfHasTheReportPages() {
    model_->setDateFormat(QStringLiteral("%Y-%m-%d"));
    const QString file = folder_->filePath(QStringLiteral("list.pdf"));
    BugListExporter exporter(*model_, file, Format::Pdf);
    exporter.setRowsPerPage(20);
    exporter.setBatchRows(30); // two pages a batch
    QCOMPARE(exporter.runNow(), Outcome::Written);
    const int rows = model_->rowCount();
    const int pages = (rows + 19) / 20;
    QCOMPARE(PdfPageCount(file), pages);
    QCOMPARE(PdfInfo(file, QStringLiteral("Title")), QStringLiteral("Tarnwick"));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    for (const int page : {1, pages}) {
        const QString text = PdfPageText(file, page);
        QVERIFY(text.contains(QStringLiteral("Bug Report")));
        QVERIFY(text.contains(today));
        QVERIFY(text.contains(QStringLiteral("%1/%2").arg(page).arg(pages)));
    }
    // The first row's bug, read through the list, is on the first page.
    QVERIFY(PdfPageText(file, 1).contains(QString::number(model_->bugIdAt(0))));
    QVERIFY(QFileInfo(file).permissions().testFlag(QFileDevice::ReadOther));
    QCOMPARE(FilesIn(folder_->path()), QStringList{QStringLiteral("list.pdf")});
}

void BugListExportTest::commandRunsBehindAProgressDialog() {
    RecordingMessageSink messages;
    QWidget window;
    window.show();
    ExportCommand command(messages, &window);
    QSignalSpy finished(&command, &ExportCommand::finished);

    // To the end: the dialog shows while it runs and goes when it is done.
    const QString file = folder_->filePath(QStringLiteral("command.csv"));
    BugListExporter* exporter = command.exportTo(*model_, file, Format::Csv);
    QVERIFY(exporter);
    exporter->setBatchRows(10);
    QVERIFY(command.progressDialog()->isVisible());
    QCOMPARE(command.progressDialog()->labelText(), QStringLiteral("Exporting the list..."));
    QVERIFY(command.isRunning());
    QVERIFY(!command.exportTo(*model_, file, Format::Csv)); // one export at a time
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.last().at(0).value<Outcome>(), Outcome::Written);
    QTRY_VERIFY(!command.progressDialog());
    QCOMPARE(ReadCsv(file).size(), model_->rowCount() + 1);
    QVERIFY(messages.texts.isEmpty());

    // Cancel in the progress dialog: no file, no message.
    const QString cancelled = folder_->filePath(QStringLiteral("cancelled.pdf"));
    exporter = command.exportTo(*model_, cancelled, Format::Pdf);
    exporter->setRowsPerPage(5);
    exporter->setBatchRows(5);
    connect(exporter, &BugListExporter::progressed, command.progressDialog(), [&command](int done) {
        if (done >= 10) command.progressDialog()->findChild<QPushButton*>()->click();
    });
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.last().at(0).value<Outcome>(), Outcome::Cancelled);
    QVERIFY(!QFile::exists(cancelled));
    QVERIFY(messages.texts.isEmpty());

    // A failure is shown.
    command.exportTo(*model_, folder_->filePath(QStringLiteral("no/such/x.csv")), Format::Csv);
    QTRY_COMPARE(finished.size(), 3);
    QCOMPARE(finished.last().at(0).value<Outcome>(), Outcome::Failed);
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts.first().startsWith(QStringLiteral("Export failed: ")));
}

void BugListExportTest::fileDialogChoosesFileAndKind() {
    RecordingMessageSink messages;
    QWidget window;
    window.show();
    ExportCommand command(messages, &window);
    QSignalSpy finished(&command, &ExportCommand::finished);
    QFileDialog* dialog = command.start(*model_);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->nameFilters(),
             (QStringList{QStringLiteral("CSV (*.csv)"), QStringLiteral("PDF (*.pdf)")}));
    dialog->setDirectory(folder_->path());
    dialog->selectNameFilter(QStringLiteral("PDF (*.pdf)"));
    emit dialog->filterSelected(QStringLiteral("PDF (*.pdf)"));
    dialog->selectFile(QStringLiteral("report"));
    static_cast<QDialog*>(dialog)->accept(); // OK, as the button does
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.last().at(0).value<Outcome>(), Outcome::Written);
    const QString file = folder_->filePath(QStringLiteral("report.pdf"));
    QVERIFY(PdfPageCount(file) >= 1);
    QCOMPARE(command.exporter()->format(), Format::Pdf);

    // A name typed with ".csv" under the PDF filter is CSV.
    dialog = command.start(*model_);
    QCOMPARE(dialog->directory().absolutePath(), QDir(folder_->path()).absolutePath());
    dialog->selectNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog->selectFile(QStringLiteral("typed.csv"));
    static_cast<QDialog*>(dialog)->accept(); // OK, as the button does
    QVERIFY(finished.wait(20000));
    QCOMPARE(command.exporter()->format(), Format::Csv);
    QCOMPARE(ReadCsv(folder_->filePath(QStringLiteral("typed.csv"))).first(), ListCaptions());
}

QTEST_MAIN(BugListExportTest)
#include "BugListExportTest.moc"
