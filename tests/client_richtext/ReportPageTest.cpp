// The bug editor's four report pages: each reads and writes its own text of the bug, is
// read-only without its right (from a Right object and from a real role), writes only what the
// user changed, and what it writes is stored by the engine.
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

#include "EditorDriver.h"
#include "client/richtext/ReportPage.h"
#include "client/rtf/RtfReader.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

using BugGetter = HRESULT (STDMETHODCALLTYPE IBug::*)(BSTR*);
using BugSetter = HRESULT (STDMETHODCALLTYPE IBug::*)(BSTR);
using RightSetter = HRESULT (STDMETHODCALLTYPE IRight::*)(LONG);

struct PageCase {
    const char* title;
    BugGetter get;
    BugSetter put;
    RightSetter right;
};

const PageCase kCases[] = {
    {"Report", &IBug::get_Report, &IBug::put_Report, &IRight::put_EditReport},
    {"Recreate Step", &IBug::get_RecreateStep, &IBug::put_RecreateStep,
     &IRight::put_EditRecreateStep},
    {"Workaround", &IBug::get_Workaround, &IBug::put_Workaround, &IRight::put_EditWorkAround},
    {"Resolution", &IBug::get_Resolution, &IBug::put_Resolution, &IRight::put_EditResolution},
};

QString Rtf(const QString& body) {
    return QStringLiteral(
               "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Sans;}}\\pard\\f0\\fs20 ") +
           body + QStringLiteral("\\par}");
}

// A bug holding a different text in each of the four properties: "text 0" ... "text 3".
ComPtr<IBug> BugWithTexts() {
    auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
    for (int i = 0; i < 4; ++i) {
        const PageCase& page = kCases[i];
        Check((bug.Get()->*page.put)(ToBstr(Rtf(QStringLiteral("text %1").arg(i))).Get()));
    }
    return bug;
}

// A right allowing all four texts, except the one set to `denied` (with the value `value`).
ComPtr<IRight> RightDenying(int denied = -1, LONG value = 0) {
    auto right = Create<IRight>(CLSID_Right, IID_IRight);
    for (int i = 0; i < 4; ++i) {
        const PageCase& page = kCases[i];
        Check((right.Get()->*page.right)(i == denied ? value : 1));
    }
    return right;
}

BugEditorState StateOf(ComPtr<IBug> bug, ComPtr<IRight> right,
                       BugEditorState::Mode mode = BugEditorState::Edit) {
    BugEditorState state;
    state.bug = std::move(bug);
    state.right = std::move(right);
    state.mode = mode;
    return state;
}

QString TextOf(IBug* bug, int index) {
    return Text(bug, kCases[index].get);
}

// A session logged in as the user, with the first version of "Harbor Ledger" that has bugs
// active.
ComPtr<IExeContext> LedgerSession(const QString& database, const QString& login) {
    auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session->OpenAccessDB(ToBstr(database).Get()));
    Check(session->Login(ToBstr(login).Get(), ToBstr(login + QStringLiteral("-demo")).Get()));
    auto products = Object(session.Get(), &IExeContext::get_CurUserProductSet);
    for (LONG p = 0; p < Long(products.Get(), &IProductSet::get_Count); ++p) {
        auto product = Item(products.Get(), &IProductSet::get_Item, p);
        if (Text(product.Get(), &IProduct::get_Name) != QStringLiteral("Harbor Ledger")) continue;
        for (LONG v = 0; v < Long(product.Get(), &IProduct::get_VersionCount); ++v) {
            auto version = Item(product.Get(), &IProduct::get_Version, v);
            Check(session->SetActiveProduct(Long(version.Get(), &IVersion::get_ID)));
            ComPtr<IBugSet> bugs;
            Check(session->OpenBugSet(nullptr, bugs.Put()));
            if (Long(bugs.Get(), &IBugSet::get_Count) > 0) return session;
        }
    }
    throw EngineFailure{E_FAIL, login + QStringLiteral(" sees no Harbor Ledger bug")};
}

// The first bug of the session's bug list.
ComPtr<IBug> FirstBug(IExeContext* session) {
    ComPtr<IBugSet> bugs;
    Check(session->OpenBugSet(nullptr, bugs.Put()));
    Check(bugs->First());
    return Object(bugs.Get(), &IBugSet::get_CurItem);
}

} // namespace

class ReportPageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { database_ = environment_.DemoDatabase(QStringLiteral("pages"), 20, 7); }

    void titles() {
        for (int i = 0; i < 4; ++i) {
            ReportPage page(i);
            QCOMPARE(page.title(), QString::fromLatin1(kCases[i].title));
            QCOMPARE(page.editor()->textEdit()->accessibleName(), page.title());
        }
    }

    void pageReadsItsOwnText_data() { Rows(); }
    void pageReadsItsOwnText() {
        QFETCH(int, index);
        ReportPage page(index);
        page.load(StateOf(BugWithTexts(), RightDenying()));
        QCOMPARE(page.editor()->textEdit()->toPlainText(), QStringLiteral("text %1").arg(index));
        QVERIFY(!page.editor()->isReadOnly());
        QVERIFY(!page.isModified());
    }

    // Without its right a page is read-only; the other pages of the same right are not.
    void readOnlyWithoutItsRight_data() { Rows(); }
    void readOnlyWithoutItsRight() {
        QFETCH(int, index);
        const auto bug = BugWithTexts();
        const auto right = RightDenying(index);
        for (int i = 0; i < 4; ++i) {
            ReportPage page(i);
            page.load(StateOf(bug, right));
            QCOMPARE(page.editor()->isReadOnly(), i == index);
            QCOMPARE(page.editor()->action(Command::Bold)->isEnabled(), i != index);
        }
    }

    // An automation caller's true (-1) is a right like 1.
    void automationTrueIsARight() {
        ReportPage page(0);
        page.load(StateOf(BugWithTexts(), RightDenying(0, -1)));
        QVERIFY(!page.editor()->isReadOnly());
    }

    // What the user changed is written as RTF into the page's own property, and only there.
    void saveWritesTheChangedText_data() { Rows(); }
    void saveWritesTheChangedText() {
        QFETCH(int, index);
        const auto bug = BugWithTexts();
        const BugEditorState state = StateOf(bug, RightDenying());
        ReportPage page(index);
        QSignalSpy modified(&page, &EditorPage::modified);
        page.load(state);
        MoveToEnd(*page.editor());
        Type(*page.editor(), QStringLiteral(" changed"));
        QVERIFY(Select(*page.editor(), QStringLiteral("changed")));
        page.editor()->action(Command::Bold)->trigger();
        QVERIFY(modified.count() > 0);
        QVERIFY(page.isModified());
        page.save(state);

        const QString written = TextOf(bug.Get(), index);
        QCOMPARE(written, page.editor()->rtf());
        QCOMPARE(RtfPlainText(written), QStringLiteral("text %1 changed").arg(index));
        for (int i = 0; i < 4; ++i)
            if (i != index) QCOMPARE(TextOf(bug.Get(), i), Rtf(QStringLiteral("text %1").arg(i)));
    }

    // A page that was looked at but not changed leaves the stored text byte for byte, even
    // when it holds what the editor cannot show (here a picture and a table cell).
    void unchangedPageKeepsTheStoredText() {
        const QString stored =
            QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 Screen:"
                           "{\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a}\\par"
                           "\\trowd\\cellx2000\\intbl cell\\cell\\row\\pard end\\par}");
        auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
        Check(bug->put_Report(ToBstr(stored).Get()));
        const BugEditorState state = StateOf(bug, RightDenying());
        ReportPage page(0);
        page.load(state);
        QVERIFY(page.editor()->textEdit()->toPlainText().contains(QStringLiteral("cell")));
        page.save(state);
        QCOMPARE(TextOf(bug.Get(), 0), stored);

        // Changed and changed back is unchanged too.
        MoveToEnd(*page.editor());
        Type(*page.editor(), QStringLiteral("x"));
        page.editor()->action(Command::Undo)->trigger();
        QVERIFY(!page.isModified());
        page.save(state);
        QCOMPARE(TextOf(bug.Get(), 0), stored);
    }

    // A read-only page writes nothing, whatever happened to the bug since it was loaded.
    void readOnlyPageWritesNothing() {
        const auto bug = BugWithTexts();
        const BugEditorState state = StateOf(bug, RightDenying(0));
        ReportPage page(0);
        page.load(state);
        Check(bug->put_Report(ToBstr(QStringLiteral("set elsewhere")).Get()));
        page.save(state);
        QCOMPARE(TextOf(bug.Get(), 0), QStringLiteral("set elsewhere"));
    }

    // A new bug's empty text: typing into it writes RTF, leaving it alone writes nothing.
    void newBug() {
        const BugEditorState state =
            StateOf(Create<IBug>(CLSID_Bug, IID_IBug), RightDenying(), BugEditorState::New);
        ReportPage untouched(1);
        untouched.load(state);
        untouched.save(state);
        QCOMPARE(TextOf(state.bug.Get(), 1), QString());

        ReportPage typed(2);
        typed.load(state);
        Type(*typed.editor(), QStringLiteral("restart the sync"));
        typed.save(state);
        QCOMPARE(RtfPlainText(TextOf(state.bug.Get(), 2)), QStringLiteral("restart the sync"));
    }

    // A tester of the demo may not edit the resolution: that page is read-only, the report is
    // not. A developer may edit both.
    void rightsOfRealRoles() {
        const auto tester = LedgerSession(database_, QStringLiteral("rsilva"));
        const auto testerRight = Object(tester.Get(), &IExeContext::get_CurRight);
        QCOMPARE(Long(testerRight.Get(), &IRight::get_EditResolution), LONG(0));
        const BugEditorState testerState = StateOf(FirstBug(tester.Get()), testerRight);
        ReportPage testerResolution(3), testerReport(0);
        testerResolution.load(testerState);
        testerReport.load(testerState);
        QVERIFY(testerResolution.editor()->isReadOnly());
        QVERIFY(!testerReport.editor()->isReadOnly());

        const auto developer = LedgerSession(database_, QStringLiteral("pnovak"));
        const BugEditorState developerState =
            StateOf(FirstBug(developer.Get()), Object(developer.Get(), &IExeContext::get_CurRight));
        ReportPage developerResolution(3);
        developerResolution.load(developerState);
        QVERIFY(!developerResolution.editor()->isReadOnly());
    }

    // The page's text goes through the bug list into the database and reads back formatted.
    void savedTextIsStored() {
        const auto session = LedgerSession(database_, QStringLiteral("pnovak"));
        ComPtr<IBugSet> bugs;
        Check(session->OpenBugSet(nullptr, bugs.Put()));
        Check(bugs->First());
        const auto bug = Object(bugs.Get(), &IBugSet::get_CurItem);
        const LONG id = Long(bug.Get(), &IBug::get_ID);
        const QString resolutionBefore = TextOf(bug.Get(), 3);
        const BugEditorState state =
            StateOf(bug, Object(session.Get(), &IExeContext::get_CurRight));

        ReportPage report(0);
        report.load(state);
        report.editor()->setRtf(QString()); // the user clears it and writes anew
        Type(*report.editor(), QStringLiteral("Steps: open the ledger"));
        QVERIFY(Select(*report.editor(), QStringLiteral("ledger")));
        report.editor()->action(Command::Bold)->trigger();
        MoveToEnd(*report.editor());
        Commit(*report.editor(), QStringLiteral(" \u6771\u4eac"));
        ReportPage resolution(3); // opened, not changed
        resolution.load(state);
        report.save(state);
        resolution.save(state);
        Check(bugs->Update(bug.Get()));

        const auto again = LedgerSession(database_, QStringLiteral("pnovak"));
        ComPtr<IBugSet> reread;
        Check(again->OpenBugSet(nullptr, reread.Put()));
        ComPtr<IBug> stored;
        Check(reread->GetBugByID(id, stored.Put()));
        QCOMPARE(TextOf(stored.Get(), 0), report.editor()->rtf());
        QCOMPARE(TextOf(stored.Get(), 3), resolutionBefore);

        ReportPage shown(0);
        shown.load(StateOf(stored, Object(again.Get(), &IExeContext::get_CurRight)));
        QCOMPARE(shown.editor()->textEdit()->toPlainText(),
                 QStringLiteral("Steps: open the ledger \u6771\u4eac"));
        QVERIFY(PlaceIn(*shown.editor(), QStringLiteral("ledger")));
        QVERIFY(shown.editor()->action(Command::Bold)->isChecked());
        QVERIFY(PlaceIn(*shown.editor(), QStringLiteral("open")));
        QVERIFY(!shown.editor()->action(Command::Bold)->isChecked());
    }

  private:
    static void Rows() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 4; ++i)
            QTest::newRow(kCases[i].title) << i;
    }

    ClientTestEnvironment environment_;
    QString database_;
};

QTEST_MAIN(ReportPageTest)
#include "ReportPageTest.moc"
