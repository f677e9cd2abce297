// Measures the main window, offscreen, on one demo database: from start to the first row painted
// after the automatic login, scrolling to the last row, a header-click sort, switching to the
// "Fixed Bugs" filter and a quick-search keystroke, each beside the engine doing the same work
// alone, and the client's resident memory.
//
//   tarnwick_bench DATABASE [PRODUCT/VERSION]     (QT_QPA_PLATFORM=offscreen, engine registered)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>

#include "client/config/ClientConfig.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/main/ListCommands.h"
#include "client/main/MainWindow.h"
#include "client/main/SaveLoginDefaults.h"
#include "client/widgets/MessageSink.h"

using namespace tarnwick;

namespace {

const char* const kLogin = "mhart";
const char* const kPassword = "mhart-demo";

double Milliseconds(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// Resident and peak resident memory in MB, from /proc/self/status.
std::pair<double, double> Memory() {
    QFile status(QStringLiteral("/proc/self/status"));
    double resident = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n')) {
            const auto kilobytes = [&] { return line.simplified().split(' ').value(1).toDouble(); };
            if (line.startsWith("VmRSS:")) resident = kilobytes() / 1024;
            if (line.startsWith("VmHWM:")) peak = kilobytes() / 1024;
        }
    return {resident, peak};
}

// Paints the list's visible rows now.
void Paint(BugListView* list) {
    list->viewport()->repaint();
    QApplication::processEvents();
}

// The same work done by the engine alone, on a session of its own.
struct EngineAlone {
    ComPtr<IExeContext> session;
    ComPtr<IBugSet> bugs;

    EngineAlone(const QString& database, LONG version) {
        session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(database).Get()));
        Check(session->Login(ToBstr(QLatin1String(kLogin)).Get(),
                             ToBstr(QLatin1String(kPassword)).Get()));
        Check(session->SetActiveProduct(version));
        Check(session->OpenBugSet(nullptr, bugs.Put()));
        Long(bugs.Get(), &IBugSet::get_Count);
    }
    // Sort alone, and the work a list needs after it: the count and the first screen of rows.
    std::pair<double, double> sort(int visibleRows) {
        QElapsedTimer timer;
        timer.start();
        Check(bugs->Sort(ColDescription, eAsc));
        const double sorted = Milliseconds(timer);
        const LONG count = Long(bugs.Get(), &IBugSet::get_Count);
        for (LONG row = 0; row < std::min<LONG>(count, visibleRows); ++row) {
            Check(bugs->put_Position(row));
            ComPtr<IBug> bug;
            Check(bugs->get_CurItem(bug.Put()));
            Text(bug.Get(), &IBug::get_Description);
        }
        return {sorted, Milliseconds(timer)};
    }
    double filterFixed() {
        auto filter = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
        auto condition = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
        Check(condition->put_Field(ToBstr(QStringLiteral("StatusName")).Get()));
        Check(condition->put_Condition(Equal));
        Check(condition->put_AndOr(LogOr));
        velmora::com::Variant value;
        value.vt = VT_BSTR;
        value.bstrVal = ToBstr(QStringLiteral("Fixed")).Detach();
        Check(condition->put_Value(value));
        Check(filter->Add(condition.Get()));
        QElapsedTimer timer;
        timer.start();
        Check(bugs->put_FilterSet(filter.Get()));
        Long(bugs.Get(), &IBugSet::get_Count);
        return Milliseconds(timer);
    }
};

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QTextStream out(stdout);
    if (argc < 2) {
        QTextStream(stderr) << "Usage: tarnwick_bench DATABASE [PRODUCT/VERSION]\n";
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString versionName =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Harbor Ledger/2.1");
    CoInitialize(nullptr);
    RecordingMessageSink messages;
    QTemporaryDir scratch;
    const WindowFiles files{scratch.filePath(QStringLiteral("Bug.cfg")),
                            scratch.filePath(QStringLiteral("filter.ser")),
                            scratch.filePath(QStringLiteral("tarnwick.ini"))};
    LONG version = 0;
    int status = 0;
    Attempt(
        [&] {
            {
                auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
                Check(session->OpenAccessDB(ToBstr(database).Get()));
                Check(session->Login(ToBstr(QLatin1String(kLogin)).Get(),
                                     ToBstr(QLatin1String(kPassword)).Get()));
                version = FindVersionID(session.Get(), versionName);
                session->Close();
            }
            ClientConfig written;
            written.UseDefaultDatabase = written.UseDefaultLogin = 1;
            written.UseDefaultRoleOrProduct = written.SavePassword = 1;
            written.DatabasePath = database;
            written.LoginName = QLatin1String(kLogin);
            written.Password = QLatin1String(kPassword);
            written.DefaultVersionID = version;
            written.Save(files.config);

            // Start: the window as the program makes it, until the first rows are painted.
            ClientConfig config;
            QElapsedTimer timer;
            timer.start();
            MainWindow window(messages, config, files);
            QSignalSpy loggedIn(&window, &MainWindow::loginFinished);
            window.resize(1100, 760);
            window.show();
            loggedIn.wait(120000);
            BugListView* list = window.bugList();
            Paint(list);
            const double started = Milliseconds(timer);
            const double processStart = Milliseconds(sinceStart);
            const int rows = list->model()->rowCount();

            timer.restart();
            list->scrollToBottom();
            Paint(list);
            const double scrolled = Milliseconds(timer);

            // Both sides sort on warm pages: one sort first, measured by neither.
            EngineAlone engine(database, version);
            engine.sort(0);

            timer.restart();
            list->clickHeader(2);
            Paint(list);
            const double sorted = Milliseconds(timer);

            timer.restart();
            window.listCommands().chooseFilter(2);
            Paint(list);
            const double filtered = Milliseconds(timer);
            const int fixedRows = list->model()->rowCount();
            window.listCommands().toggleFilter(); // back to no filter

            timer.restart();
            list->setQuickSearch(QStringLiteral("crash"));
            Paint(list);
            const double searched = Milliseconds(timer);
            const int foundRows = list->model()->rowCount();
            const auto [resident, peak] = Memory();

            const int visibleRows = list->viewport()->height() / list->rowHeight(0) + 1;
            const auto [engineSort, engineSortShown] = engine.sort(visibleRows);
            const double engineFilter = engine.filterFixed();

            out << "Database: " << database << " (" << versionName << ": " << rows
                << " bugs in the list)\n";
            out << QString::asprintf("%-52s %10s %10s %7s\n", "Measurement", "client ms",
                                     "engine ms", "ratio");
            const auto line = [&](const char* what, double client, double alone) {
                out << QString::asprintf("%-52s %10.1f %10s %7s\n", what, client,
                                         alone > 0 ? qPrintable(QString::number(alone, 'f', 1))
                                                   : "",
                                         alone > 0 ? qPrintable(QString::number(client / alone,
                                                                                'f', 2) + "x")
                                                   : "");
            };
            line("window created to first rows painted (auto login)", started, 0);
            line("process start to first rows painted", processStart, 0);
            line("scroll to the last row and repaint", scrolled, 0);
            line("header click: sort on Description, repaint", sorted, engineSort);
            line("  the engine: Sort, Count and the first screen of rows", sorted, engineSortShown);
            line(qPrintable(QStringLiteral("switch to \"Fixed Bugs\" (%1 rows), repaint")
                                .arg(fixedRows)),
                 filtered, engineFilter);
            line(qPrintable(QStringLiteral("quick search \"crash\" (%1 rows), repaint")
                                .arg(foundRows)),
                 searched, 0);
            out << QString::asprintf("%-52s %7.1f MB (peak %.1f MB)\n", "resident memory",
                                     resident, peak);
            for (const QString& text : messages.texts) out << "message shown: " << text << "\n";
            window.close();
        },
        [&](const EngineFailure& failure) {
            QTextStream(stderr) << "tarnwick_bench: " << failure.text << "\n";
            status = 1;
        });
    CoUninitialize();
    return status;
}
