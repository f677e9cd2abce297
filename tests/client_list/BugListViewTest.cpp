// The bug list as the window uses it: header sorting, selection and its signals, deleting,
// the menus, keys, failures shown through the message sink, and the saved view state.
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include "client/list/BugListColumns.h"
#include "client/list/BugListView.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_list/ListSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using tarnwick::test::IdsOf;
using tarnwick::test::OpenListSession;
using tarnwick::test::StoreBug;

namespace {

QStringList Captions(QMenu* menu) {
    QStringList captions;
    for (QAction* action : menu->actions())
        captions.append(action->text());
    return captions;
}

void SelectRows(BugListView& view, const QList<int>& rows) {
    view.clearSelection();
    for (int row : rows)
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

class BugListViewTest : public QObject {
    Q_OBJECT

    tarnwick::test::ClientTestEnvironment environment_;
    QString database_;

  private slots:
    void initTestCase() { database_ = environment_.DemoDatabase(QStringLiteral("view.mdb"), 300); }
    void headerClicksSortAsTheEngineDoes();
    void newSetIsMarkedAscendingById();
    void selectionSignalsAndDoubleClicks();
    void deleteSelectedRemovesEveryChosenBug();
    void failuresAreShownThroughTheSink();
    void contextMenuAndKeys();
    void viewStateIsSavedAndRestored();
};

void BugListViewTest::headerClicksSortAsTheEngineDoes() {
    auto session = OpenListSession(database_);
    RecordingMessageSink messages;
    BugListView view(messages);
    QHeaderView* header = view.horizontalHeader();
    QCOMPARE(view.sortColumn(), -1);
    view.clickHeader(kIdColumn); // no set: ignored
    QCOMPARE(view.sortColumn(), -1);

    view.SetBugSet(session.bugs);
    view.Refresh();
    const int rows = view.model()->rowCount();
    const auto ids = [&] {
        QList<LONG> shown;
        for (int row = 0; row < rows; ++row)
            shown.append(view.bugModel()->bugIdAt(row));
        return shown;
    };
    QList<LONG> ascending = IdsOf(session.bugs.Get());
    std::sort(ascending.begin(), ascending.end());

    view.clickHeader(kIdColumn); // marked ascending at SetBugSet: descending now
    QCOMPARE(view.sortDirection(), int(BugListView::kDescending));
    QList<LONG> descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(ids(), descending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    view.clickHeader(kIdColumn);
    QCOMPARE(view.sortDirection(), int(BugListView::kAscending));
    QCOMPARE(ids(), ascending);
    QCOMPARE(header->sortIndicatorSection(), kIdColumn);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    header->sectionClicked(kStatusColumn); // through the header itself
    QCOMPARE(view.sortColumn(), int(kStatusColumn));
    QCOMPARE(view.sortDirection(), int(BugListView::kAscending));
    for (int row = 1; row < rows; ++row) {
        const auto status = [&](int r) {
            return view.model()->index(r, kStatusColumn).data().toString();
        };
        QVERIFY(QString::compare(status(row - 1), status(row), Qt::CaseInsensitive) <= 0);
    }
    view.clickHeader(kStatusImageColumn); // the image column does not sort
    QCOMPARE(view.sortColumn(), int(kStatusColumn));
    QVERIFY(messages.texts.isEmpty());
}

void BugListViewTest::newSetIsMarkedAscendingById() {
    auto session = OpenListSession(database_);
    RecordingMessageSink messages;
    BugListView view(messages);
    view.SetBugSet(session.bugs);
    view.clickHeader(kIdColumn);
    QCOMPARE(view.sortDirection(), int(BugListView::kDescending));

    // A new set comes ordered by ID ascending, and the header says so.
    auto fresh = OpenListSession(database_, session.versionID);
    view.SetBugSet(fresh.bugs);
    view.Refresh();
    QCOMPARE(view.sortColumn(), int(kIdColumn));
    QCOMPARE(view.sortDirection(), int(BugListView::kAscending));
    QCOMPARE(view.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(view.bugModel()->bugIdAt(0) < view.bugModel()->bugIdAt(1));
    // One click makes it descending, as the arrow promised.
    view.clickHeader(kIdColumn);
    QVERIFY(view.bugModel()->bugIdAt(0) > view.bugModel()->bugIdAt(1));

    view.SetBugSet({});
    QCOMPARE(view.model()->rowCount(), 0);
    QVERIFY(!view.GetBugSet());
    QVERIFY(!view.GetFilter());
}

void BugListViewTest::selectionSignalsAndDoubleClicks() {
    auto session = OpenListSession(database_);
    RecordingMessageSink messages;
    BugListView view(messages);
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetBugSet(session.bugs);
    view.Refresh();
    QSignalSpy changed(&view, &BugListView::itemChanged);
    QSignalSpy doubleClicked(&view, &BugListView::itemDoubleClicked);

    QCOMPARE(view.SelectedBugID(), 0);
    QVERIFY(!view.SelectedBug());
    const LONG second = view.bugModel()->bugIdAt(1);
    const QRect cell = view.visualRect(view.model()->index(1, kDescriptionColumn));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(view.SelectedBugID(), second);
    QCOMPARE(Long(view.SelectedBug().Get(), &IBug::get_ID), second);
    QCOMPARE(view.SelectedCount(), 1);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().at(0).value<LONG>(), second);

    // Content changes keep the selected row and tell the window again.
    changed.clear();
    view.Refresh();
    QCOMPARE(view.SelectedBugID(), second);
    QCOMPARE(changed.size(), 1);

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(doubleClicked.size(), 1);
    QCOMPARE(doubleClicked.last().at(0).value<LONG>(), second);

    // A double click below the last row clears the selection and sends nothing.
    view.SetFilter({});
    auto few = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(filter->put_Field(ToBstr(QStringLiteral("BugID")).Get()));
    Check(filter->put_Condition(LessEqual));
    Check(filter->put_Value(velmora::com::Variant(second)));
    Check(few->Add(filter.Get()));
    view.SetFilter(few);
    QVERIFY(view.model()->rowCount() <= 2);
    doubleClicked.clear();
    const QPoint empty(20, view.viewport()->height() - 5);
    QVERIFY(!view.indexAt(empty).isValid());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(view.SelectedCount(), 0);
    QCOMPARE(doubleClicked.size(), 0);
    QCOMPARE(view.GetFilter().Get(), few.Get());
    QVERIFY(messages.texts.isEmpty());
}

void BugListViewTest::deleteSelectedRemovesEveryChosenBug() {
    auto session = OpenListSession(environment_.DemoDatabase(QStringLiteral("delete.mdb"), 200));
    RecordingMessageSink messages;
    BugListView view(messages);
    view.SetBugSet(session.bugs);
    view.Refresh();
    const int rows = view.model()->rowCount();
    QList<LONG> chosen;
    for (int row : {1, 3, 4, rows - 1})
        chosen.append(view.bugModel()->bugIdAt(row));
    const LONG kept = view.bugModel()->bugIdAt(2);
    SelectRows(view, {4, 1, rows - 1, 3});
    QCOMPARE(view.SelectedCount(), 4);
    QCOMPARE(view.SelectedBugID(), chosen.first());

    QSignalSpy resets(view.model(), &QAbstractItemModel::modelReset);
    view.DeleteSelected();
    QCOMPARE(resets.size(), 1);
    QCOMPARE(view.model()->rowCount(), rows - 4);
    const QList<LONG> left = IdsOf(session.bugs.Get());
    for (LONG id : chosen)
        QVERIFY(!left.contains(id));
    QVERIFY(left.contains(kept));
    QCOMPARE(view.SelectedCount(), 0);
    QVERIFY(messages.texts.isEmpty());

    // Delete by ID while the row is on screen.
    const LONG first = view.bugModel()->bugIdAt(0);
    view.DeleteBug(first);
    QCOMPARE(view.model()->rowCount(), rows - 5);
    QVERIFY(!IdsOf(session.bugs.Get()).contains(first));
}

void BugListViewTest::failuresAreShownThroughTheSink() {
    RecordingMessageSink messages;
    BugListView view(messages);
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
    QVERIFY(!view.AddBug(bug.Get()));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Adding Bug Failed!")});
    view.Refresh(); // nothing to refresh, nothing to say
    view.DeleteBug(5);
    QCOMPARE(messages.texts.size(), 1);

    auto session = OpenListSession(environment_.DemoDatabase(QStringLiteral("fail.mdb"), 100));
    auto other = OpenListSession(environment_.File(QStringLiteral("fail.mdb")), session.versionID);
    view.SetBugSet(session.bugs);
    view.Refresh();
    const int rows = view.model()->rowCount();

    // A bug that another session deleted: the list is refreshed, then the engine's message.
    const LONG gone = Long(
        StoreBug(other.bugs.Get(), other.versionID, QStringLiteral("gone")).Get(), &IBug::get_ID);
    Check(other.bugs->RemoveByID(gone));
    const LONG added =
        Long(StoreBug(other.bugs.Get(), other.versionID, QStringLiteral("new elsewhere")).Get(),
             &IBug::get_ID);
    QSignalSpy resets(view.model(), &QAbstractItemModel::modelReset);
    messages.texts.clear();
    view.DeleteBug(gone);
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Delete bug failed!")});
    QVERIFY(resets.size() >= 1);
    QCOMPARE(view.model()->rowCount(), rows + 1); // the refresh shows the other session's bug
    QVERIFY(IdsOf(session.bugs.Get()).contains(added));

    // Updating a bug with no ID: the engine's message.
    messages.texts.clear();
    view.UpdateBug(bug.Get());
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Update bug failed!")});

    // Updating through the list redraws the row with the new text.
    ComPtr<IBug> first;
    Check(session.bugs->GetBugByID(view.bugModel()->bugIdAt(0), first.Put()));
    Check(first->put_Description(ToBstr(QStringLiteral("rewritten")).Get()));
    messages.texts.clear();
    view.UpdateBug(first.Get());
    QVERIFY(messages.texts.isEmpty());
    QCOMPARE(view.model()->index(0, kDescriptionColumn).data().toString(),
             QStringLiteral("rewritten"));
}

void BugListViewTest::contextMenuAndKeys() {
    auto session = OpenListSession(database_);
    RecordingMessageSink messages;
    BugListView view(messages);
    view.SetBugSet(session.bugs);
    view.Refresh();

    QVERIFY(!view.createContextMenu(&view)); // no check given: no menu
    bool productSet = false;
    view.setContextMenuEnabledCheck([&] { return productSet; });
    QVERIFY(!view.createContextMenu(&view));
    productSet = true;
    std::unique_ptr<QMenu> menu(view.createContextMenu(&view));
    QVERIFY(menu);
    QCOMPARE(Captions(menu.get()),
             (QStringList{QStringLiteral("Report Bug..."), QStringLiteral("Report Feature..."),
                          QStringLiteral("Edit..."), QStringLiteral("Delete")}));
    QVERIFY(menu->actions()[0]->isEnabled());
    QVERIFY(!menu->actions()[2]->isEnabled());
    QVERIFY(!menu->actions()[3]->isEnabled());

    SelectRows(view, {0});
    menu.reset(view.createContextMenu(&view));
    QVERIFY(menu->actions()[2]->isEnabled() && menu->actions()[3]->isEnabled());
    QSignalSpy commands(&view, &BugListView::contextCommand);
    menu->actions()[3]->trigger();
    menu->actions()[1]->trigger();
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands[0].at(0).value<BugListView::ContextCommand>(),
             BugListView::ContextCommand::Delete);
    QCOMPARE(commands[1].at(0).value<BugListView::ContextCommand>(),
             BugListView::ContextCommand::ReportFeature);

    QSignalSpy edits(&view, &BugListView::editRequested);
    QSignalSpy deletes(&view, &BugListView::deleteRequested);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Delete);
    QCOMPARE(edits.size(), 1);
    QCOMPARE(deletes.size(), 1);
    view.setCurrentIndex(view.model()->index(0, 1));
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.currentIndex().row(), 1);
    QCOMPARE(view.SelectedBugID(), view.bugModel()->bugIdAt(1));
}

void BugListViewTest::viewStateIsSavedAndRestored() {
    const QString file = environment_.File(QStringLiteral("list.ini"));
    {
        auto session = OpenListSession(database_);
        RecordingMessageSink messages;
        BugListView view(messages);
        QCOMPARE(view.columnWidth(kDescriptionColumn), 150);
        QCOMPARE(view.columnWidth(kStatusImageColumn), 20);
        QCOMPARE(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        view.SetBugSet(session.bugs);
        view.clickHeader(kSeverityColumn);
        view.clickHeader(kSeverityColumn);
        view.setColumnWidth(kDescriptionColumn, 321);
        view.horizontalHeader()->moveSection(view.horizontalHeader()->visualIndex(kStatusColumn),
                                             1);
        std::unique_ptr<QMenu> columns(view.createColumnMenu(&view));
        columns->actions()[kFixedByColumn]->trigger(); // hides "Fixed By"
        QVERIFY(!columns->actions()[kIdColumn]->isEnabled());
        view.setColumnShown(kIdColumn, false); // "ID" always shows
        QVERIFY(view.isColumnHidden(kFixedByColumn));
        QVERIFY(!view.isColumnHidden(kIdColumn));
        QSettings settings(file, QSettings::IniFormat);
        view.saveState(settings, QStringLiteral("Bugs"));
    }
    auto session = OpenListSession(database_);
    RecordingMessageSink messages;
    BugListView view(messages);
    QSettings settings(file, QSettings::IniFormat);
    view.restoreState(settings, QStringLiteral("Bugs"));
    QCOMPARE(view.columnWidth(kDescriptionColumn), 321);
    QCOMPARE(view.horizontalHeader()->visualIndex(kStatusColumn), 1);
    QVERIFY(view.isColumnHidden(kFixedByColumn));
    QVERIFY(!view.isColumnHidden(kFixedDateColumn));
    view.SetBugSet(session.bugs);
    view.Refresh();
    QCOMPARE(view.sortColumn(), int(kSeverityColumn));
    QCOMPARE(view.sortDirection(), int(BugListView::kDescending));
    const auto severity = [&](int r) {
        return view.model()->index(r, kSeverityColumn).data().toString();
    };
    for (int row = 1; row < view.model()->rowCount(); ++row)
        QVERIFY(QString::compare(severity(row - 1), severity(row), Qt::CaseInsensitive) >= 0);
    QVERIFY(messages.texts.isEmpty());

    // A damaged file changes nothing it cannot read.
    QSettings damaged(environment_.File(QStringLiteral("damaged.ini")), QSettings::IniFormat);
    damaged.setValue(QStringLiteral("Bugs/order"),
                     QStringList{QStringLiteral("3"), QStringLiteral("3")});
    damaged.setValue(QStringLiteral("Bugs/widths"), QStringList{QStringLiteral("x")});
    damaged.setValue(QStringLiteral("Bugs/sortColumn"), 0);
    BugListView fresh(messages);
    fresh.restoreState(damaged, QStringLiteral("Bugs"));
    QCOMPARE(fresh.columnWidth(kDescriptionColumn), 150);
    QCOMPARE(fresh.horizontalHeader()->visualIndex(kStatusColumn), int(kStatusColumn));
}

QTEST_MAIN(BugListViewTest)
#include "BugListViewTest.moc"
