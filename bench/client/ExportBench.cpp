// Measures export of a bug list, offscreen, on one demo database: the list model over a bug set
// of every bug and feature in the file (or, with --version, the list the client shows for one
// version), written to CSV and to PDF in the background steps the client uses, each to a file
// in a scratch folder that is removed at the end.
//
//   tarnwick_export_bench DATABASE [--version PRODUCT/VERSION] [--keep FOLDER]
//                                  (QT_QPA_PLATFORM=offscreen, engine registered)
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include "client/list/BugListModel.h"
#include "client/print/BugListExporter.h"

using namespace tarnwick;

namespace {

const char* const kLogin = "mhart";
const char* const kPassword = "mhart-demo";

struct Measured {
    BugListExporter::Outcome outcome;
    QString failure;
    double seconds;
    qint64 bytes;
};

// One export as the client runs it: batches on a zero timer until it finishes.
Measured Export(const BugListModel& model, const QString& file, BugListExporter::Format format) {
    BugListExporter exporter(model, file, format);
    QEventLoop loop;
    QObject::connect(&exporter, &BugListExporter::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    exporter.start();
    if (exporter.outcome() == BugListExporter::Outcome::Running) loop.exec();
    return {exporter.outcome(), exporter.failure(), timer.nsecsElapsed() / 1e9,
            QFileInfo(file).size()};
}

// The ID of "Product/Version" among the user's products, 0 when there is none.
LONG FindVersion(IExeContext* session, const QString& productSlashVersion) {
    auto products = Object(session, &IExeContext::get_CurUserProductSet);
    for (LONG p = 0; p < Long(products.Get(), &IProductSet::get_Count); ++p) {
        auto product = Item(products.Get(), &IProductSet::get_Item, p);
        const QString name = Text(product.Get(), &IProduct::get_Name);
        for (LONG v = 0; v < Long(product.Get(), &IProduct::get_VersionCount); ++v) {
            auto version = Item(product.Get(), &IProduct::get_Version, v);
            if (name + QLatin1Char('/') + Text(version.Get(), &IVersion::get_Name) ==
                productSlashVersion)
                return Long(version.Get(), &IVersion::get_ID);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QTextStream out(stdout);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "Usage: tarnwick_export_bench DATABASE [--version PRODUCT/VERSION]"
                               " [--keep FOLDER]\n";
        return 2;
    }
    const QString database = arguments.at(1);
    const qsizetype versionAt = arguments.indexOf(QStringLiteral("--version"));
    const QString versionName = versionAt > 0 ? arguments.value(versionAt + 1) : QString();
    const qsizetype keepAt = arguments.indexOf(QStringLiteral("--keep"));
    QTemporaryDir scratch;
    const QString folder = keepAt > 0 ? arguments.value(keepAt + 1) : scratch.path();

    CoInitialize(nullptr);
    int status = 0;
    Attempt(
        [&] {
            auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
            Check(session->OpenAccessDB(ToBstr(database).Get()));
            Check(session->Login(ToBstr(QLatin1String(kLogin)).Get(),
                                 ToBstr(QLatin1String(kPassword)).Get()));
            ComPtr<IBugSet> bugs;
            QString what;
            if (versionName.isEmpty()) {
                // Every row of the file: a set opened by class, without the version condition
                // the session adds to the lists it opens.
                bugs = Create<IBugSet>(CLSID_BugSet, IID_IBugSet);
                Check(bugs->Open(nullptr));
                what = QStringLiteral("every bug and feature");
            } else {
                Check(session->SetActiveProduct(FindVersion(session.Get(), versionName)));
                Check(session->OpenBugSet(nullptr, bugs.Put()));
                what = QStringLiteral("the bugs of %1").arg(versionName);
            }
            BugListModel model;
            QElapsedTimer opened;
            opened.start();
            model.setBugSet(bugs);
            const double counted = opened.nsecsElapsed() / 1e6;
            out << "Database: " << database << "\nList: " << what << ", " << model.rowCount()
                << " rows (counted in " << QString::number(counted, 'f', 1) << " ms)\n";
            out << QString::asprintf("%-8s %10s %12s %12s  %s\n", "Export", "seconds", "rows/s",
                                     "MB", "outcome");
            for (const auto format : {BugListExporter::Format::Csv, BugListExporter::Format::Pdf}) {
                const bool csv = format == BugListExporter::Format::Csv;
                const QString file =
                    QStringLiteral("%1/export.%2").arg(folder, csv ? "csv" : "pdf");
                const Measured measured = Export(model, file, format);
                out << QString::asprintf(
                    "%-8s %10.2f %12.0f %12.1f  %s\n", csv ? "CSV" : "PDF", measured.seconds,
                    model.rowCount() / measured.seconds, measured.bytes / 1e6,
                    measured.outcome == BugListExporter::Outcome::Written
                        ? "written"
                        : qPrintable(QStringLiteral("failed: ") + measured.failure));
                if (measured.outcome != BugListExporter::Outcome::Written) status = 1;
                out.flush();
            }
            bugs.Reset();
            session->Close();
        },
        [&](const EngineFailure& failure) {
            QTextStream(stderr) << "tarnwick_export_bench: " << failure.text << "\n";
            status = 1;
        });
    CoUninitialize();
    return status;
}
