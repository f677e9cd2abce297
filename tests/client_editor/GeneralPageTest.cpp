// The General page against demo databases: what a new bug gets without any input, how the
// status fills and empties the fixed and verified groups, what a role may change, and the
// writes into the bug on OK.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "client/config/OleDate.h"
#include "client/editor/GeneralPage.h"
#include "client/widgets/NullableDateTimeEdit.h"
#include "tests/client_editor/EditorTestControls.h"
#include "tests/client_editor/EditorTestSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QDateTime kNow(QDate(2024, 5, 17), QTime(14, 30));
const QDateTime kEarlier(QDate(2024, 2, 3), QTime(9, 15));

const QStringList kFixedGroup = {"Fixed By", "Fixed Date", "Fixed in Version"};
const QStringList kVerifiedGroup = {"Verified By", "Verified Date"};

} // namespace

class GeneralPageTest : public QObject {
    Q_OBJECT

  private:
    ClientTestEnvironment environment_;
    QString demo_;
    ComPtr<IExeContext> session_;
    std::unique_ptr<GeneralPage> page_;
    BugEditorState state_;
    bool otherDatabase_ = false;

    // Opens the page as the editor does, on a new bug or on the bug given.
    GeneralPage* open(ComPtr<IExeContext> session, ComPtr<IBug> bug, BugEditorState::Mode mode) {
        state_.session = std::move(session);
        state_.bug = bug ? bug : Create<IBug>(CLSID_Bug, IID_IBug);
        state_.right = Object(state_.session.Get(), &IExeContext::get_CurRight);
        state_.mode = mode;
        page_ = std::make_unique<GeneralPage>();
        page_->setClock([] { return kNow; });
        page_->load(state_);
        page_->show();
        return page_.get();
    }
    QComboBox* box(const QString& caption) const { return Named<QComboBox>(page_.get(), caption); }
    QLineEdit* text(const QString& caption) const { return Named<QLineEdit>(page_.get(), caption); }
    NullableDateTimeEdit* date(const QString& caption) const {
        return Named<NullableDateTimeEdit>(page_.get(), caption);
    }
    bool shown(const QStringList& captions) const {
        bool all = true, none = true;
        for (const QString& caption : captions) {
            QWidget* control = Named<QWidget>(page_.get(), caption);
            (control->isVisible() ? none : all) = false;
        }
        if (!all && !none) qWarning("a group is only partly shown");
        return all && !none;
    }
    // A stored bug of the active version reported by dokafor, with the status and what fill adds.
    ComPtr<IBug> storedBug(const QString& status, const std::function<void(IBug*)>& fill = {}) {
        return StoredBug(session_.Get(), [&](IBug* bug) {
            Check(bug->put_Description(ToBstr(QStringLiteral("Crash on start")).Get()));
            Check(bug->put_Status(ToBstr(status).Get()));
            Check(bug->put_ReportedByID(UserID(session_.Get(), QStringLiteral("dokafor"))));
            Check(bug->put_ReportedDate(OleDateFromDateTime(kEarlier)));
            Check(bug->put_ReportedInVersionID(VersionID(session_.Get(), kVersion)));
            if (fill) fill(bug);
        });
    }

  private slots:
    void initTestCase() {
        demo_ = environment_.DemoDatabase(QStringLiteral("general.mdb"), 60);
        session_ = WorkingSession(demo_, QStringLiteral("mhart"));
    }
    void cleanup() {
        page_.reset();
        state_ = {};
        // The engine keeps one database per process: after a test on another file, the demo
        // session opens its own again.
        if (otherDatabase_) session_ = WorkingSession(demo_, QStringLiteral("mhart"));
        otherDatabase_ = false;
    }

    void listsComeFromTheSessionSorted() {
        open(session_, {}, BugEditorState::New);
        QComboBox* status = box("Status");
        QVERIFY(status->isEditable());
        QStringList statuses;
        for (int i = 0; i < status->count(); ++i)
            statuses << status->itemText(i);
        QStringList sorted = statuses;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(statuses, sorted);
        QVERIFY(statuses.contains("Fixed") && statuses.contains("Verified"));

        QComboBox* versions = box("Fixed in Version");
        QCOMPARE(versions->count(), 4);
        QCOMPARE(versions->itemText(0), QStringLiteral("1.0"));
        QCOMPARE(versions->itemText(3), QStringLiteral("2.1"));
        QCOMPARE(versions->itemData(3).value<LONG>(), VersionID(session_.Get(), "2.1"));
        QComboBox* classes = box("Classification");
        QVERIFY(classes->count() > 1);
        for (int i = 1; i < classes->count(); ++i)
            QVERIFY(QString::compare(classes->itemText(i - 1), classes->itemText(i),
                                     Qt::CaseInsensitive) <= 0);
        QVERIFY(classes->itemData(0).value<LONG>() > 0);
    }

    void newBugSavedUntouchedGetsTheDefaults() {
        open(session_, {}, BugEditorState::New);
        QVERIFY(!page_->isModified());
        QCOMPARE(box("Status")->currentText(), QStringLiteral("New"));
        QVERIFY(!box("Status")->isEnabled());
        QVERIFY(text("Description")->isEnabled());
        QCOMPARE(text("Reported By")->text(), QStringLiteral("Maya Hart"));
        QVERIFY(!shown(kFixedGroup) && !shown(kVerifiedGroup));
        const LONG firstClass = box("Classification")->itemData(0).value<LONG>();

        page_->save(state_);
        const LONG mhart = UserID(session_.Get(), "mhart");
        const LONG version = VersionID(session_.Get(), kVersion);
        const ComPtr<IBug> stored = AddAndReadBack(session_.Get(), state_.bug.Get());
        for (IBug* bug : {state_.bug.Get(), stored.Get()}) {
            QCOMPARE(Text(bug, &IBug::get_Status), QStringLiteral("New"));
            QCOMPARE(Text(bug, &IBug::get_Priority), QStringLiteral("Normal"));
            QCOMPARE(Text(bug, &IBug::get_Severity), QStringLiteral("Normal"));
            QCOMPARE(Text(bug, &IBug::get_Reproductive), QStringLiteral("Sometimes"));
            QCOMPARE(Long(bug, &IBug::get_ClassificationID), firstClass);
            QCOMPARE(Long(bug, &IBug::get_ReportedInVersionID), version);
            QCOMPARE(Long(bug, &IBug::get_ReportedByID), mhart);
            QCOMPARE(Long(bug, &IBug::get_FixedByID), 0);
            QCOMPARE(Long(bug, &IBug::get_VerifiedByID), 0);
            QCOMPARE(Long(bug, &IBug::get_FixedInVersionID), 0);
            QCOMPARE(Date(bug, &IBug::get_FixedDate), kNoDate);
            QCOMPARE(DateTimeFromOleDate(Date(bug, &IBug::get_ReportedDate)).toString(),
                     DateTimeFromOleDate(OleDateFromDateTime(kNow)).toString());
        }
    }

    void aNewBugReadsNewEvenWhenTheRoleMayNotSetIt() {
        // Developers may not set "New"; a bug they report still starts as one.
        const auto developer = WorkingSession(demo_, "dokafor");
        open(developer, {}, BugEditorState::New);
        QComboBox* status = box("Status");
        QCOMPARE(status->findText("New"), -1);
        QCOMPARE(status->currentText(), QStringLiteral("New"));
        QVERIFY(!status->isEnabled());
        QCOMPARE(text("Reported By")->text(), QStringLiteral("Daniel Okafor"));
        page_->save(state_);
        QCOMPARE(Text(state_.bug.Get(), &IBug::get_Status), QStringLiteral("New"));
        QCOMPARE(Long(state_.bug.Get(), &IBug::get_ReportedByID),
                 UserID(developer.Get(), "dokafor"));
    }

    void activeToFixedFillsTheFixedGroupAndBackEmptiesIt() {
        open(session_, storedBug("Active"), BugEditorState::Edit);
        QVERIFY(!shown(kFixedGroup));
        QVERIFY(!date("Reported Date")->isEnabled());

        Choose(box("Status"), "Fixed");
        QVERIFY(page_->isModified());
        QVERIFY(shown(kFixedGroup) && !shown(kVerifiedGroup));
        QCOMPARE(text("Fixed By")->text(), QStringLiteral("Maya Hart"));
        QCOMPARE(date("Fixed Date")->value(), OleDateFromDateTime(kNow));
        QCOMPARE(box("Fixed in Version")->currentText(), kVersion);
        QVERIFY(date("Fixed Date")->isEnabled());
        page_->save(state_);
        IBug* bug = state_.bug.Get();
        QCOMPARE(Long(bug, &IBug::get_FixedByID), UserID(session_.Get(), "mhart"));
        QCOMPARE(Long(bug, &IBug::get_FixedInVersionID), VersionID(session_.Get(), kVersion));
        QCOMPARE(Date(bug, &IBug::get_FixedDate), OleDateFromDateTime(kNow));

        Choose(box("Status"), "Active");
        QVERIFY(!shown(kFixedGroup));
        QVERIFY(text("Fixed By")->text().isEmpty());
        QCOMPARE(date("Fixed Date")->value(), kNoDate);
        QCOMPARE(box("Fixed in Version")->currentIndex(), -1);
        QCOMPARE(text("Reported By")->text(), QStringLiteral("Daniel Okafor"));

        page_->save(state_);
        QCOMPARE(Text(bug, &IBug::get_Status), QStringLiteral("Active"));
        QCOMPARE(Long(bug, &IBug::get_FixedByID), 0);
        QCOMPARE(Long(bug, &IBug::get_FixedInVersionID), 0);
        QCOMPARE(Date(bug, &IBug::get_FixedDate), kNoDate);
        // Edit mode never changes the reporter.
        QCOMPARE(Long(bug, &IBug::get_ReportedByID), UserID(session_.Get(), "dokafor"));
    }

    void verifiedWritesTheCurrentUserAsFixerAndVerifier() {
        open(session_, storedBug("Active"), BugEditorState::Edit);
        Choose(box("Status"), "Verified");
        QVERIFY(shown(kVerifiedGroup));
        QVERIFY(!shown(kFixedGroup)); // the bug has no fixed date
        QCOMPARE(text("Verified By")->text(), QStringLiteral("Maya Hart"));
        page_->save(state_);
        IBug* bug = state_.bug.Get();
        const LONG mhart = UserID(session_.Get(), "mhart");
        QCOMPARE(Long(bug, &IBug::get_FixedByID), mhart);
        QCOMPARE(Long(bug, &IBug::get_VerifiedByID), mhart);
        QCOMPARE(Date(bug, &IBug::get_VerifiedDate), OleDateFromDateTime(kNow));
    }

    void loadingAFixedBugShowsItsFixedGroup() {
        const DATE fixedOn = OleDateFromDateTime(kEarlier.addDays(3));
        open(session_,
             storedBug("Fixed",
                       [&](IBug* bug) {
                           Check(bug->put_FixedByID(UserID(session_.Get(), "dokafor")));
                           Check(bug->put_FixedDate(fixedOn));
                           Check(bug->put_FixedInVersionID(VersionID(session_.Get(), "2.0")));
                       }),
             BugEditorState::Edit);
        QCOMPARE(box("Status")->currentText(), QStringLiteral("Fixed"));
        QVERIFY(shown(kFixedGroup) && !shown(kVerifiedGroup));
        QCOMPARE(text("Fixed By")->text(), QStringLiteral("Daniel Okafor"));
        QCOMPARE(date("Fixed Date")->value(), fixedOn);
        QCOMPARE(box("Fixed in Version")->currentText(), QStringLiteral("2.0"));
        QVERIFY(!date("Reported Date")->isEnabled());
        QVERIFY(!box("Reported in Version")->isEnabled());
        QVERIFY(box("Fixed in Version")->isEnabled());
        QVERIFY(!page_->isModified());

        // Saved without choosing a status again, the bug keeps who fixed it, when and where.
        page_->save(state_);
        IBug* bug = state_.bug.Get();
        QCOMPARE(Long(bug, &IBug::get_FixedByID), UserID(session_.Get(), "dokafor"));
        QCOMPARE(Date(bug, &IBug::get_FixedDate), fixedOn);
        QCOMPARE(Long(bug, &IBug::get_FixedInVersionID), VersionID(session_.Get(), "2.0"));
    }

    void loadingAVerifiedBugWithoutFixedDateHidesTheFixedGroup() {
        const DATE verifiedOn = OleDateFromDateTime(kEarlier.addDays(5));
        open(session_,
             storedBug("Verified",
                       [&](IBug* bug) {
                           Check(bug->put_VerifiedByID(UserID(session_.Get(), "rsilva")));
                           Check(bug->put_VerifiedDate(verifiedOn));
                       }),
             BugEditorState::Edit);
        QVERIFY(shown(kVerifiedGroup) && !shown(kFixedGroup));
        QCOMPARE(text("Verified By")->text(), QStringLiteral("Rafael Silva"));
        QCOMPARE(date("Verified Date")->value(), verifiedOn);
        QVERIFY(date("Verified Date")->isEnabled());
        QVERIFY(!box("Fixed in Version")->isEnabled());
        page_->save(state_);
        QCOMPARE(Long(state_.bug.Get(), &IBug::get_VerifiedByID), UserID(session_.Get(), "rsilva"));
    }

    void anOtherStatusEmptiesLeftoverFixedValues() {
        // A reopened bug still carries who fixed it; an "Active" bug shows and keeps none of it.
        open(session_,
             storedBug("Active",
                       [&](IBug* bug) {
                           Check(bug->put_FixedByID(UserID(session_.Get(), "dokafor")));
                           Check(bug->put_FixedDate(OleDateFromDateTime(kEarlier)));
                           Check(bug->put_FixedInVersionID(VersionID(session_.Get(), "2.0")));
                       }),
             BugEditorState::Edit);
        QVERIFY(!shown(kFixedGroup) && !shown(kVerifiedGroup));
        for (const QString caption : {"Reported Date", "Reported in Version", "Fixed Date",
                                      "Fixed in Version", "Verified Date"})
            QVERIFY2(!Named<QWidget>(page_.get(), caption)->isEnabled(), qPrintable(caption));
        page_->save(state_);
        IBug* bug = state_.bug.Get();
        QCOMPARE(Long(bug, &IBug::get_FixedByID), 0);
        QCOMPARE(Date(bug, &IBug::get_FixedDate), kNoDate);
        QCOMPARE(Long(bug, &IBug::get_FixedInVersionID), 0);
    }

    void aTypedStatusIsWrittenAsTyped() {
        open(session_, storedBug("Active"), BugEditorState::Edit);
        QLineEdit* field = box("Status")->lineEdit();
        field->selectAll();
        QTest::keyClicks(field, "Escalated");
        QVERIFY(page_->isModified());
        page_->save(state_);
        QCOMPARE(Text(state_.bug.Get(), &IBug::get_Status), QStringLiteral("Escalated"));
    }

    void aRoleWithoutEditDescriptionMayOnlyDescribeNewBugs() {
        otherDatabase_ = true;
        const QString path = environment_.DemoDatabase(QStringLiteral("rights.mdb"), 20);
        SetRoleFlag(path, "Harbor Ledger tester", &IRight::put_EditDescription, 0);
        const auto tester = WorkingSession(path, "rsilva");
        QCOMPARE(Long(Object(tester.Get(), &IExeContext::get_CurRight).Get(),
                      &IRight::get_EditDescription),
                 0);
        const ComPtr<IBug> bug = StoredBug(tester.Get(), [&](IBug* each) {
            Check(each->put_Status(ToBstr(QStringLiteral("Active")).Get()));
        });

        open(tester, bug, BugEditorState::Edit);
        QVERIFY(!text("Description")->isEnabled());
        QVERIFY(box("Status")->isEnabled());
        open(tester, {}, BugEditorState::New);
        QVERIFY(text("Description")->isEnabled());
    }

    void aSessionWithoutProductCannotFillThePage() {
        otherDatabase_ = true;
        const QString path = environment_.NewDatabase(QStringLiteral("empty.mdb"));
        auto admin = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(admin->OpenAccessDB(ToBstr(path).Get()));
        Check(admin->Login(ToBstr(QStringLiteral("Admin")).Get(), ToBstr(QString()).Get()));
        BugEditorState state{admin, Create<IBug>(CLSID_Bug, IID_IBug),
                             Create<IRight>(CLSID_Right, IID_IRight), BugEditorState::New};
        GeneralPage page;
        QString message;
        try {
            page.load(state);
        } catch (const EngineFailure& failure) {
            message = failure.text;
        }
        QCOMPARE(message, QStringLiteral("Get current user's product failded"));
    }
};

QTEST_MAIN(GeneralPageTest)
#include "GeneralPageTest.moc"
