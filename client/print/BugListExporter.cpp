#include "client/print/BugListExporter.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "client/list/BugListColumns.h"
#include "client/list/BugListModel.h"
#include "client/print/BugReportPrinter.h"
#include "client/print/CsvText.h"
#include "client/print/PrintTexts.h"

namespace tarnwick {

namespace {

QString RowUnreadable(const BugListModel& model, int row) {
    QString text = QString::fromLatin1(print_texts::kRowUnreadable).arg(row + 1);
    if (!model.lastError().isEmpty()) text += QLatin1Char('\n') + model.lastError();
    return text;
}

// The text of one list column of a bug for CSV: what the list shows, dates in ISO 8601.
QString CsvCell(IBug* bug, int column) {
    return BugColumnText(bug, column, IsoDateText);
}

} // namespace

// Where the rows go. write() returns the rows written, or -1 with failure set.
struct BugListExporter::Writer {
    virtual ~Writer() = default;
    virtual bool open(QString& failure) = 0;
    virtual int write(int first, int rows, QString& failure) = 0;
    virtual bool commit(QString& failure) = 0;
};

struct BugListExporter::CsvWriter : Writer {
    CsvWriter(const BugListModel& model, const QString& target, const QList<int>& columns)
        : model(model), file(target), columns(columns) {}

    bool open(QString& failure) override {
        if (!file.open(QIODevice::WriteOnly)) {
            failure = file.errorString();
            return false;
        }
        QStringList captions;
        for (const int column : columns)
            captions.append(model.headerData(column, Qt::Horizontal).toString());
        QString header;
        AppendCsvRecord(header, captions);
        return put(header, failure);
    }

    int write(int first, int rows, QString& failure) override {
        QString text;
        QStringList fields;
        for (int row = first; row < first + rows; ++row) {
            const ComPtr<IBug> bug = model.bugAt(row);
            if (!bug) {
                failure = RowUnreadable(model, row);
                return -1;
            }
            fields.clear();
            const bool read = Attempt(
                [&] {
                    for (const int column : columns)
                        fields.append(CsvCell(bug.Get(), column));
                },
                [&](const EngineFailure& engine) {
                    failure = QString::fromLatin1(print_texts::kRowUnreadable).arg(row + 1) +
                              QLatin1Char('\n') + engine.text;
                });
            if (!read) return -1;
            AppendCsvRecord(text, fields);
        }
        return put(text, failure) ? rows : -1;
    }

    bool commit(QString& failure) override {
        if (file.commit()) return true;
        failure = file.errorString();
        return false;
    }

    bool put(const QString& text, QString& failure) {
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes) == bytes.size()) return true;
        failure = file.errorString();
        return false;
    }

    const BugListModel& model;
    QSaveFile file;
    QList<int> columns;
};

struct BugListExporter::PdfWriter : Writer {
    PdfWriter(const BugListModel& model, const QString& target, int rowsPerPage)
        : model(model), target(target), temporary(QFileInfo(target).dir().filePath(
                                            QStringLiteral(".tarnwick-export-XXXXXX.pdf"))),
          printer(QPrinter::HighResolution), report(model) {
        report.setRowsPerPage(rowsPerPage);
        report.setDateFormat(model.dateFormat());
    }

    bool open(QString& failure) override {
        if (!temporary.open()) {
            failure = temporary.errorString();
            return false;
        }
        temporary.close(); // the name stays reserved; the printer writes the file
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temporary.fileName());
        if (!report.begin(printer)) {
            failure = report.failure();
            return false;
        }
        return true;
    }

    int write(int first, int rows, QString& failure) override {
        const BugReportLayout& layout = report.layout();
        int written = 0;
        int page = first / layout.rowsPerPage + 1;
        do {
            const int firstRow = layout.firstRowOf(page);
            const int pageRows = layout.rowsOn(page);
            // Each row is read before its page is drawn: an unreadable row stops the export
            // instead of leaving an empty line in the file.
            for (int row = firstRow; row < firstRow + pageRows; ++row)
                if (!model.bugAt(row)) {
                    failure = RowUnreadable(model, row);
                    return -1;
                }
            if (!report.printPage(page)) {
                failure = report.failure();
                return -1;
            }
            written += pageRows;
            ++page;
        } while (written < rows && page <= layout.pageCount);
        return written;
    }

    bool commit(QString& failure) override {
        if (!report.finish()) {
            failure = report.failure();
            return false;
        }
        const QFileInfo existing(target);
        temporary.setPermissions(existing.exists()
                                     ? existing.permissions()
                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
        // rename(2) replaces the target in one step.
        if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                        QFile::encodeName(target).constData()) != 0) {
            failure = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        temporary.setAutoRemove(false);
        return true;
    }

    ~PdfWriter() override {
        if (report.isActive()) report.abort();
    }

    const BugListModel& model;
    QString target;
    QTemporaryFile temporary;
    QPrinter printer;
    BugReportPrinter report;
};

BugListExporter::BugListExporter(const BugListModel& model, const QString& target, Format format,
                                 QObject* parent)
    : QObject(parent), model_(model), target_(target), format_(format) {
    for (int column = kIdColumn; column < kBugListColumnCount; ++column)
        columns_.append(column);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!Step()) timer_.stop();
    });
}

BugListExporter::~BugListExporter() = default;

BugListExporter::Format BugListExporter::FormatOfFile(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? Format::Pdf
                                                                         : Format::Csv;
}

void BugListExporter::start() {
    if (Open()) timer_.start();
}

BugListExporter::Outcome BugListExporter::runNow() {
    if (Open())
        while (Step()) {
        }
    return outcome_;
}

void BugListExporter::cancel() {
    cancelRequested_ = true;
}

bool BugListExporter::Open() {
    if (outcome_ != Outcome::NotStarted) return false;
    outcome_ = Outcome::Running;
    rowCount_ = model_.rowCount();
    rowsDone_ = 0;
    const auto changed = [this] { ListChanged(); };
    watches_ = {connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this, changed),
                connect(&model_, &QAbstractItemModel::rowsAboutToBeInserted, this, changed),
                connect(&model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, changed),
                connect(&model_, &QAbstractItemModel::layoutAboutToBeChanged, this, changed)};
    if (format_ == Format::Csv)
        writer_ = std::make_unique<CsvWriter>(model_, target_, columns_);
    else
        writer_ = std::make_unique<PdfWriter>(model_, target_, rowsPerPage_);
    QString failure;
    if (!writer_->open(failure)) {
        Finish(Outcome::Failed, failure);
        return false;
    }
    return true;
}

bool BugListExporter::Step() {
    if (outcome_ != Outcome::Running) return false;
    if (cancelRequested_) {
        Finish(Outcome::Cancelled);
        return false;
    }
    if (listChanged_) {
        Finish(Outcome::Failed, QString::fromLatin1(print_texts::kListChanged));
        return false;
    }
    if (rowsDone_ < rowCount_) {
        QString failure;
        const int rows = std::min(batchRows_, rowCount_ - rowsDone_);
        const int written = writer_->write(rowsDone_, rows, failure);
        if (written < 0) {
            Finish(Outcome::Failed, failure);
            return false;
        }
        rowsDone_ += written;
        emit progressed(rowsDone_, rowCount_);
        // A cancel or a change of the list seen while reporting progress wins over the end.
        if (cancelRequested_ || listChanged_) return true;
        if (rowsDone_ < rowCount_) return true;
    }
    QString failure;
    if (!writer_->commit(failure)) {
        Finish(Outcome::Failed, failure);
        return false;
    }
    Finish(Outcome::Written);
    return false;
}

void BugListExporter::Finish(Outcome outcome, const QString& failure) {
    timer_.stop();
    for (const QMetaObject::Connection& watch : watches_)
        disconnect(watch);
    watches_.clear();
    writer_.reset(); // an uncommitted temporary file goes with it
    outcome_ = outcome;
    failure_ = failure;
    emit finished(outcome);
}

void BugListExporter::ListChanged() {
    listChanged_ = true;
}

} // namespace tarnwick
