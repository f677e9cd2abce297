// Two colleagues on one database: the second to save gets a merge instead of a refusal. Clashes
// in rich texts and on the status, clashes resolved to the colleague's side, silent merges, a
// bug deleted meanwhile, rights, a colleague saving again during the merge, and refusals that
// have nothing to do with a colleague.
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "client/merge/ConflictAwareUpdate.h"
#include "client/merge/MergeDialog.h"
#include "client/merge/MergeTexts.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_merge/TwoSessions.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;
using Outcome = ConflictAwareUpdate::Outcome;

namespace {

QString Rtf(const QString& text) {
    return QStringLiteral("{\\rtf1\\ansi ") + text + QStringLiteral("\\par}");
}

void SetText(IBug* bug, HRESULT (STDMETHODCALLTYPE IBug::*put)(BSTR), const QString& text) {
    Check((bug->*put)(ToBstr(text).Get()));
}

// One user's editor: the bug as read from the user's list, and its snapshot.
struct Editor {
    ComPtr<IBug> bug;
    BugFields snapshot;
};

Editor OpenEditor(IBugSet* bugs, LONG id) {
    Editor editor;
    Check(bugs->GetBugByID(id, editor.bug.Put()));
    editor.snapshot = ReadBugFields(editor.bug.Get());
    return editor;
}

// A colleague who saves the bug with the change made by edit.
void ColleagueSaves(UserSession& colleague, LONG id, const std::function<void(IBug*)>& edit) {
    Check(colleague.bugs->Refresh());
    ComPtr<IBug> bug;
    Check(colleague.bugs->GetBugByID(id, bug.Put()));
    edit(bug.Get());
    Check(colleague.bugs->Update(bug.Get()));
}

} // namespace

class ConflictAwareUpdateTest : public QObject {
    Q_OBJECT

    ClientTestEnvironment environment_;
    QString database_;
    UserSession me_;        // mhart, the product's manager
    UserSession colleague_; // dokafor, a developer of the product
    RecordingMessageSink messages_;
    QList<LONG> reportedAsNew_;

    // The flow for my editor over my list (or the set given), names shown as numbers.
    std::unique_ptr<ConflictAwareUpdate> Flow(const Editor& editor, IBugSet* set = nullptr,
                                              UserSession* session = nullptr) {
        UserSession& user = session ? *session : me_;
        auto flow = std::make_unique<ConflictAwareUpdate>(
            ComPtr<IBugSet>(set ? set : user.bugs.Get()), editor.snapshot, editor.bug, user.context,
            messages_, nullptr, [this, &user](IBug* bug) {
                ComPtr<IBug> stored;
                Check(user.bugs->Add(bug, stored.Put()));
                reportedAsNew_.append(Long(stored.Get(), &IBug::get_ID));
            });
        flow->setIdNames([](FieldKind, LONG id) { return QString::number(id); });
        return flow;
    }

    static void Answer(ConflictAwareUpdate& flow, const QMap<BugField, MergeSide>& choices) {
        QVERIFY(flow.dialog());
        QCOMPARE(flow.dialog()->clashes(), choices.keys());
        for (auto it = choices.cbegin(); it != choices.cend(); ++it)
            flow.dialog()->choose(it.key(), it.value());
        flow.dialog()->accept();
    }

  private slots:
    void initTestCase() {
        database_ = environment_.DemoDatabase(QStringLiteral("merge"), 20, 3);
        me_ = OpenUserSession(database_, QStringLiteral("mhart"));
        colleague_ = OpenUserSession(database_, QStringLiteral("dokafor"));
        QVERIFY(me_.versionID != 0);
        QCOMPARE(colleague_.versionID, me_.versionID);
    }

    void init() {
        messages_.texts.clear();
        messages_.answers.clear();
        reportedAsNew_.clear();
    }

    void cleanup() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
    }

    void storesAtOnceWhenNobodyElseSaved() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Quiet bug"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Quiet bug, edited"));
        auto flow = Flow(editor);
        QSignalSpy finished(flow.get(), &ConflictAwareUpdate::finished);
        flow->start();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(flow->outcome(), Outcome::Stored);
        QVERIFY(flow->statusText().isEmpty());
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(Text(ReadStoredBug(me_, id).Get(), &IBug::get_Description),
                 QStringLiteral("Quiet bug, edited"));
    }

    // Different fields: no question, both changes stored, the colleague's named.
    void differentFieldsMergeSilently() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Two editors"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Priority, QStringLiteral("High"));
            SetText(bug, &IBug::put_Resolution, Rtf(QStringLiteral("Fixed the cache")));
        });
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Two editors, mine"));
        SetText(editor.bug.Get(), &IBug::put_Workaround, Rtf(QStringLiteral("Restart")));

        auto flow = Flow(editor);
        flow->start();
        QVERIFY(flow->isFinished());
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        QCOMPARE(flow->statusText(),
                 QStringLiteral("Saved. A colleague's changes to Priority, Resolution were kept."));
        QVERIFY(messages_.texts.isEmpty());
        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.description, QStringLiteral("Two editors, mine"));
        QCOMPARE(stored.workaround, Rtf(QStringLiteral("Restart")));
        QCOMPARE(stored.priority, QStringLiteral("High"));
        QCOMPARE(stored.resolution, Rtf(QStringLiteral("Fixed the cache")));
    }

    void richTextClash_data() {
        QTest::addColumn<bool>("keepMine");
        QTest::newRow("mine") << true;
        QTest::newRow("theirs") << false;
    }

    void richTextClash() {
        QFETCH(bool, keepMine);
        const LONG id = StoreNewBug(me_, QStringLiteral("Report clash"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Report, Rtf(QStringLiteral("Their steps")));
            SetText(bug, &IBug::put_Severity, QStringLiteral("Critical"));
        });
        SetText(editor.bug.Get(), &IBug::put_Report, Rtf(QStringLiteral("My steps")));
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Report clash, mine"));

        auto flow = Flow(editor);
        flow->start();
        QVERIFY(!flow->isFinished());
        QVERIFY(flow->dialog());
        QCOMPARE(flow->dialog()->valueText(BugField::Report, MergeSide::Mine),
                 QStringLiteral("My steps"));
        QCOMPARE(flow->dialog()->valueText(BugField::Report, MergeSide::Theirs),
                 QStringLiteral("Their steps"));
        Answer(*flow, {{BugField::Report, keepMine ? MergeSide::Mine : MergeSide::Theirs}});
        QVERIFY(flow->isFinished());
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        QCOMPARE(flow->statusText(),
                 QStringLiteral("Saved. A colleague's changes to Severity were kept."));

        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.report,
                 Rtf(keepMine ? QStringLiteral("My steps") : QStringLiteral("Their steps")));
        QCOMPARE(stored.description, QStringLiteral("Report clash, mine"));
        QCOMPARE(stored.severity, QStringLiteral("Critical"));
    }

    void statusClashCarriesTheGroups_data() {
        QTest::addColumn<bool>("keepMine");
        QTest::newRow("mine") << true;
        QTest::newRow("theirs") << false;
    }

    void statusClashCarriesTheGroups() {
        QFETCH(bool, keepMine);
        const LONG id = StoreNewBug(me_, QStringLiteral("Status clash"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        const LONG colleagueID = colleague_.userID;
        ColleagueSaves(colleague_, id, [colleagueID](IBug* bug) {
            SetText(bug, &IBug::put_Status, QStringLiteral("Verified"));
            Check(bug->put_VerifiedByID(colleagueID));
            Check(bug->put_VerifiedDate(45300.25));
        });
        SetText(editor.bug.Get(), &IBug::put_Status, QStringLiteral("Fixed"));
        Check(editor.bug->put_FixedByID(me_.userID));
        Check(editor.bug->put_FixedDate(45300.5));
        Check(editor.bug->put_FixedInVersionID(me_.versionID));

        auto flow = Flow(editor);
        flow->start();
        QVERIFY(flow->dialog());
        // One row for the status; its groups are part of it.
        QCOMPARE(flow->dialog()->clashes(), QList<BugField>{BugField::Status});
        QVERIFY(flow->dialog()->valueText(BugField::Status, MergeSide::Mine).startsWith("Fixed\n"));
        QVERIFY(flow->dialog()
                    ->valueText(BugField::Status, MergeSide::Theirs)
                    .contains(QStringLiteral("Verified By: %1").arg(colleagueID)));
        Answer(*flow, {{BugField::Status, keepMine ? MergeSide::Mine : MergeSide::Theirs}});
        QCOMPARE(flow->outcome(), Outcome::Stored);

        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        if (keepMine) {
            QCOMPARE(stored.status, QStringLiteral("Fixed"));
            QCOMPARE(stored.fixedByID, me_.userID);
            QCOMPARE(stored.fixedDate, 45300.5);
            QCOMPARE(stored.fixedInVersionID, me_.versionID);
            QCOMPARE(stored.verifiedByID, LONG{0});
            QCOMPARE(stored.verifiedDate, 0.0);
        } else {
            QCOMPARE(stored.status, QStringLiteral("Verified"));
            QCOMPARE(stored.verifiedByID, colleagueID);
            QCOMPARE(stored.verifiedDate, 45300.25);
            QCOMPARE(stored.fixedByID, LONG{0});
            QCOMPARE(stored.fixedDate, 0.0);
            QCOMPARE(stored.fixedInVersionID, LONG{0});
        }
    }

    // Everything resolved to the colleague's side: the stored row is left exactly as they
    // saved it, with no update at all.
    void allTheirsWritesNothing() {
        const LONG id = StoreNewBug(me_, QStringLiteral("All theirs"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        const LONG colleagueID = colleague_.userID;
        ColleagueSaves(colleague_, id, [colleagueID](IBug* bug) {
            SetText(bug, &IBug::put_Description, QStringLiteral("All theirs, by them"));
            SetText(bug, &IBug::put_Report, Rtf(QStringLiteral("Their report")));
            Check(bug->put_LastModifiedByID(colleagueID));
            Check(bug->put_LastModifiedDate(45310.75));
        });
        const BugFields theirs = ReadBugFields(ReadStoredBug(me_, id).Get());
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("All theirs, by me"));
        SetText(editor.bug.Get(), &IBug::put_Report, Rtf(QStringLiteral("My report")));
        // A caller may stamp its edit; the stamp must not reach the row either.
        Check(editor.bug->put_LastModifiedByID(me_.userID));
        Check(editor.bug->put_LastModifiedDate(45311.0));

        const auto observed = ObservedBugSet::Wrap(me_.bugs);
        auto flow = Flow(editor, observed.Get());
        flow->start();
        QVERIFY(flow->dialog());
        QTest::mouseClick(flow->dialog()->keepAllTheirsButton(), Qt::LeftButton);
        flow->dialog()->accept();
        QCOMPARE(flow->outcome(), Outcome::Stored);
        QCOMPARE(observed->updates, 0);

        const ComPtr<IBug> stored = ReadStoredBug(me_, id);
        QCOMPARE(ReadBugFields(stored.Get()), theirs);
        QCOMPARE(Long(stored.Get(), &IBug::get_LastModifiedByID), colleagueID);
        QCOMPARE(Date(stored.Get(), &IBug::get_LastModifiedDate), 45310.75);
        // The editor's object now holds what is stored.
        QCOMPARE(ReadBugFields(editor.bug.Get()), theirs);
    }

    // Columns the editor does not show keep the colleague's values when my merge is stored.
    void unshownColumnsKeepTheColleaguesValues() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Estimate"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) { Check(bug->put_EstimatedTime(45400.0)); });
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Estimate, mine"));
        auto flow = Flow(editor);
        flow->start();
        // Nothing the editor shows changed: stored over the fresh row, nothing to mention.
        QCOMPARE(flow->outcome(), Outcome::Stored);
        const ComPtr<IBug> stored = ReadStoredBug(me_, id);
        QCOMPARE(Date(stored.Get(), &IBug::get_EstimatedTime), 45400.0);
        QCOMPARE(Text(stored.Get(), &IBug::get_Description), QStringLiteral("Estimate, mine"));
    }

    // My list was run again while I edited (its row is now the colleague's): the set's own
    // check sees no change, but the colleague's priority must still not be overwritten.
    void listRunAgainWhileEditingStillMerges() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Rerun"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Priority, QStringLiteral("Urgent"));
        });
        Check(me_.bugs->Refresh());
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Rerun, mine"));
        auto flow = Flow(editor);
        flow->start();
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.priority, QStringLiteral("Urgent"));
        QCOMPARE(stored.description, QStringLiteral("Rerun, mine"));
    }

    void deletedMeanwhile_data() {
        QTest::addColumn<bool>("reportAnew");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void deletedMeanwhile() {
        QFETCH(bool, reportAnew);
        const LONG id = StoreNewBug(me_, QStringLiteral("Doomed"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        UserSession admin = OpenUserSession(database_, QStringLiteral("Admin"));
        Check(admin.bugs->RemoveByID(id));
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Doomed, but edited"));
        SetText(editor.bug.Get(), &IBug::put_Report, Rtf(QStringLiteral("Worth keeping")));

        messages_.answers = {reportAnew};
        auto flow = Flow(editor);
        flow->start();
        QCOMPARE(messages_.texts, QStringList{QString::fromLatin1(merge_texts::kDeletedMeanwhile)});
        QVERIFY(!ReadStoredBug(me_, id));
        if (!reportAnew) {
            QCOMPARE(flow->outcome(), Outcome::Cancelled);
            QVERIFY(reportedAsNew_.isEmpty());
            return;
        }
        QCOMPARE(flow->outcome(), Outcome::ReportedAsNew);
        QCOMPARE(reportedAsNew_.size(), 1);
        QVERIFY(reportedAsNew_.first() != id);
        const ComPtr<IBug> stored = ReadStoredBug(me_, reportedAsNew_.first());
        QVERIFY(stored);
        QCOMPARE(Text(stored.Get(), &IBug::get_Description), QStringLiteral("Doomed, but edited"));
        QCOMPARE(Text(stored.Get(), &IBug::get_Report), Rtf(QStringLiteral("Worth keeping")));
    }

    // A tester may not change the priority or the resolution: the merge takes the colleague's
    // priority without asking and never stores my resolution.
    void fieldsOutsideMyRightAreNeverWritten() {
        UserSession tester = OpenUserSession(database_, QStringLiteral("rsilva"));
        const LONG id = StoreNewBug(tester, QStringLiteral("Rights"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(tester.bugs.Get(), id);
        ColleagueSaves(me_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Priority, QStringLiteral("High"));
            SetText(bug, &IBug::put_Report, Rtf(QStringLiteral("Manager's report")));
        });
        SetText(editor.bug.Get(), &IBug::put_Priority, QStringLiteral("Low"));
        SetText(editor.bug.Get(), &IBug::put_Resolution, Rtf(QStringLiteral("Tester's fix")));
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Rights, tester"));

        auto flow = Flow(editor, nullptr, &tester);
        flow->start();
        QVERIFY(flow->isFinished());
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        QCOMPARE(flow->statusText(),
                 QStringLiteral("Saved. A colleague's changes to Priority, Report were kept."));
        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.priority, QStringLiteral("High"));
        QCOMPARE(stored.resolution, QString());
        QCOMPARE(stored.description, QStringLiteral("Rights, tester"));
        QCOMPARE(stored.report, Rtf(QStringLiteral("Manager's report")));
    }

    // The colleague saves again while I answer: the merge runs once more, and a clash I
    // already settled against the same value is not asked again.
    void colleagueSavesAgainDuringTheMerge() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Race"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Report, Rtf(QStringLiteral("Their steps")));
        });
        SetText(editor.bug.Get(), &IBug::put_Report, Rtf(QStringLiteral("My steps")));

        const auto observed = ObservedBugSet::Wrap(me_.bugs);
        observed->beforeUpdate = [this, id](int n) {
            if (n == 2) {
                ColleagueSaves(colleague_, id, [](IBug* bug) {
                    SetText(bug, &IBug::put_Severity, QStringLiteral("Minor"));
                });
            }
        };
        auto flow = Flow(editor, observed.Get());
        flow->start();
        Answer(*flow, {{BugField::Report, MergeSide::Mine}});
        QVERIFY(flow->isFinished());
        QCOMPARE(observed->updates, 3);
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        QCOMPARE(flow->statusText(),
                 QStringLiteral("Saved. A colleague's changes to Severity were kept."));
        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.report, Rtf(QStringLiteral("My steps")));
        QCOMPARE(stored.severity, QStringLiteral("Minor"));
    }

    void givesUpWhenTheBugKeepsChanging() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Busy"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Busy, mine"));
        const auto observed = ObservedBugSet::Wrap(me_.bugs);
        observed->beforeUpdate = [this, id](int n) {
            ColleagueSaves(colleague_, id, [n](IBug* bug) {
                SetText(bug, &IBug::put_Workaround, Rtf(QStringLiteral("Try %1").arg(n)));
            });
        };
        auto flow = Flow(editor, observed.Get());
        flow->start();
        QCOMPARE(flow->outcome(), Outcome::Failed);
        QCOMPARE(observed->updates, 1 + ConflictAwareUpdate::kMaxMergeRounds);
        QCOMPARE(messages_.texts, QStringList{QString::fromLatin1(merge_texts::kStillChanging)});
        QCOMPARE(Text(ReadStoredBug(me_, id).Get(), &IBug::get_Description),
                 QStringLiteral("Busy"));
    }

    // Refused though nobody changed the bug: one more try over the fresh row, then the engine's
    // message; nothing is stored and the editor stays open.
    void refusalWithoutAColleagueShowsTheEngineMessage() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Stubborn"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Stubborn, mine"));
        const auto observed = ObservedBugSet::Wrap(me_.bugs);
        observed->refuseUpdates = true;
        auto flow = Flow(editor, observed.Get());
        flow->start();
        QCOMPARE(flow->outcome(), Outcome::Failed);
        QCOMPARE(observed->updates, 2);
        QCOMPARE(messages_.texts.size(), 1);
        QCOMPARE(messages_.texts.first(), LastEngineText(E_FAIL));
        QVERIFY(reportedAsNew_.isEmpty());
        QCOMPARE(Text(ReadStoredBug(me_, id).Get(), &IBug::get_Description),
                 QStringLiteral("Stubborn"));
    }

    // A bug never stored (ID 0) is refused by the engine with its own text, at once.
    void unstoredBugFailsWithTheEngineText() {
        Editor editor;
        editor.bug = Create<IBug>(CLSID_Bug, IID_IBug);
        editor.snapshot = ReadBugFields(editor.bug.Get());
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Never stored"));
        auto flow = Flow(editor);
        flow->start();
        QCOMPARE(flow->outcome(), Outcome::Failed);
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Update bug failed!")});
    }

    // Without a session to ask for the right, nothing may be merged in: the refusal stands
    // rather than a merge that writes nothing being called a success.
    void noRightMeansNoMerge() {
        const LONG id = StoreNewBug(me_, QStringLiteral("No right"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Priority, QStringLiteral("High"));
        });
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("No right, mine"));
        ConflictAwareUpdate flow(me_.bugs, editor.snapshot, editor.bug, nullptr, messages_, nullptr,
                                 {});
        flow.start();
        QCOMPARE(flow.outcome(), Outcome::Failed);
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Update bug failed!")});
        QCOMPARE(Text(ReadStoredBug(me_, id).Get(), &IBug::get_Description),
                 QStringLiteral("No right"));
    }

    // Cancelling the question stores nothing; the editor keeps my edit.
    void cancellingTheQuestionStoresNothing() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Cancel"), QStringLiteral("Active"));
        const Editor editor = OpenEditor(me_.bugs.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Description, QStringLiteral("Cancel, theirs"));
        });
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Cancel, mine"));
        auto flow = Flow(editor);
        flow->start();
        QVERIFY(flow->dialog());
        flow->dialog()->reject();
        QCOMPARE(flow->outcome(), Outcome::Cancelled);
        QCOMPARE(Text(ReadStoredBug(me_, id).Get(), &IBug::get_Description),
                 QStringLiteral("Cancel, theirs"));
        QCOMPARE(Text(editor.bug.Get(), &IBug::get_Description), QStringLiteral("Cancel, mine"));
    }

    // The bug left my list's selection (the list shows Active bugs only) when the colleague
    // fixed it: that is a change, not a deletion.
    void bugThatLeftTheListIsStillMerged() {
        const LONG id = StoreNewBug(me_, QStringLiteral("Filtered"), QStringLiteral("Active"));
        auto filter = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
        auto condition = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
        Check(condition->put_Field(ToBstr(QStringLiteral("StatusName")).Get()));
        Check(condition->put_Condition(Equal));
        velmora::com::Variant active;
        active.vt = VT_BSTR;
        active.bstrVal = ToBstr(QStringLiteral("Active")).Detach();
        Check(condition->put_Value(active));
        Check(filter->Add(condition.Get()));
        ComPtr<IBugSet> activeList;
        Check(me_.context->OpenBugSet(filter.Get(), activeList.Put()));

        const Editor editor = OpenEditor(activeList.Get(), id);
        ColleagueSaves(colleague_, id, [](IBug* bug) {
            SetText(bug, &IBug::put_Status, QStringLiteral("Postponed"));
        });
        SetText(editor.bug.Get(), &IBug::put_Description, QStringLiteral("Filtered, mine"));
        auto flow = Flow(editor, activeList.Get());
        flow->start();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(flow->outcome(), Outcome::StoredWithColleagueChanges);
        const BugFields stored = ReadBugFields(ReadStoredBug(me_, id).Get());
        QCOMPARE(stored.status, QStringLiteral("Postponed"));
        QCOMPARE(stored.description, QStringLiteral("Filtered, mine"));
    }
};

QTEST_MAIN(ConflictAwareUpdateTest)
#include "ConflictAwareUpdateTest.moc"
