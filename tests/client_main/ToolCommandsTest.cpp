// Tool > Options, Print, Print Preview, Export and About from the main window: the options saved
// to Bug.cfg and the lists showing dates in the chosen format at once; the shown list printed,
// previewed and exported; About naming the engine it loaded.
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QSignalSpy>
#include <QTest>

#include "client/list/BugListView.h"
#include "client/main/AboutText.h"
#include "client/main/MainActions.h"
#include "client/main/ToolCommands.h"
#include "client/options/OptionsDialog.h"
#include "client/options/OptionsOtherPage.h"
#include "client/print/ExportCommand.h"
#include "client/print/PrintCommands.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

class ToolCommandsTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

  private slots:
    void init() {
        fixture_ = std::make_unique<MainWindowFixture>(environment_);
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
    }
    void cleanup() {
        fixture_->stop();
        fixture_.reset();
    }

    // OK stores the date format in Bug.cfg and the list's date column follows it.
    void optionsChangeTheDateFormat() {
        MainWindow& window = fixture_->start();
        window.actions().options->trigger();
        QPointer<OptionsDialog> dialog = window.toolCommands().optionsDialog();
        QVERIFY(dialog);
        dialog->otherPage()->formatEdit()->setText(QStringLiteral("yyyy"));
        dialog->accept();
        QTRY_VERIFY(!dialog);

        ClientConfig saved;
        QCOMPARE(saved.Load(fixture_->files.config), QString());
        QCOMPARE(saved.DateFormat, QStringLiteral("%Y"));
        BugListView* list = window.bugList();
        const int reportedDate = [&] {
            for (int column = 0; column < list->model()->columnCount(); ++column)
                if (list->model()->headerData(column, Qt::Horizontal).toString() ==
                    QStringLiteral("Reported Date"))
                    return column;
            return -1;
        }();
        QVERIFY(reportedDate >= 0);
        const QString shown = list->model()->index(0, reportedDate).data().toString();
        QVERIFY2(shown.size() == 4 && shown.toInt() > 1990, qPrintable(shown));
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    // Print and Print Preview open their dialogs on the shown list; Export writes it.
    void printPreviewAndExportTheShownList() {
        MainWindow& window = fixture_->start();
        QVERIFY(window.actions().print->isEnabled());
        QVERIFY(window.actions().exportList->isEnabled());
        window.actions().print->trigger();
        QVERIFY(window.printCommands().printDialog());
        window.printCommands().printDialog()->reject();
        window.actions().printPreview->trigger();
        QVERIFY(window.printCommands().previewDialog());
        window.printCommands().previewDialog()->reject();

        window.actions().exportList->trigger();
        QVERIFY(window.exportCommand().fileDialog());
        window.exportCommand().fileDialog()->reject();
        const QString target = environment_.File(QStringLiteral("bugs.csv"));
        QSignalSpy finished(&window.exportCommand(), &ExportCommand::finished);
        window.exportCommand().exportTo(*window.bugList()->bugModel(), target,
                                        BugListExporter::Format::Csv);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QFile csv(target);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        // The header and one line per row (and the empty text after the last line end).
        QCOMPARE(lines.size(), window.bugList()->model()->rowCount() + 2);
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    // About names the program's version and the engine library the session was made by.
    void aboutNamesTheEngine() {
        MainWindow& window = fixture_->start();
        window.actions().about->trigger();
        QCOMPARE(fixture_->messages.texts.size(), 1);
        const QString about = fixture_->messages.texts.first();
        QVERIFY2(about.contains(QStringLiteral("Engine: Velmora ")), qPrintable(about));
        QVERIFY2(about.contains(QStringLiteral("libVelmora.so")), qPrintable(about));
        QVERIFY2(!about.contains(QStringLiteral("version unknown")), qPrintable(about));
        QCOMPARE(AboutText(QStringLiteral("1.2"), nullptr),
                 QStringLiteral("Tarnwick 1.2\nA bug and feature-request tracker for small "
                                "software teams.\n\nEngine: not loaded"));
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::ToolCommandsTest)
#include "ToolCommandsTest.moc"
