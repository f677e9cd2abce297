// The field-by-field merge as plain values: who changed what, rights, the status and its groups,
// the settling of clashes, and the captions of the colleague's kept changes.
#include <QTest>

#include "client/merge/BugMerge.h"
#include "client/merge/ConflictAwareUpdate.h"
#include "client/merge/MergeTexts.h"

using namespace tarnwick;

namespace {

BugFields Base() {
    BugFields fields;
    fields.description = QStringLiteral("Crash on start");
    fields.status = QStringLiteral("Active");
    fields.severity = QStringLiteral("Normal");
    fields.priority = QStringLiteral("Normal");
    fields.reproductive = QStringLiteral("Sometimes");
    fields.classificationID = 3;
    fields.reportedByID = 2;
    fields.reportedDate = 45000.5;
    fields.reportedInVersionID = 7;
    fields.report = QStringLiteral("{\\rtf1 Steps\\par}");
    return fields;
}

BugFields Fixed(BugFields fields, LONG by, DATE when, LONG version) {
    fields.status = QStringLiteral("Fixed");
    fields.fixedByID = by;
    fields.fixedDate = when;
    fields.fixedInVersionID = version;
    return fields;
}

BugFields Verified(BugFields fields, LONG by, DATE when) {
    fields.status = QStringLiteral("Verified");
    fields.verifiedByID = by;
    fields.verifiedDate = when;
    return fields;
}

const BugFieldSet kAll = BugFieldSet::All();

} // namespace

class BugMergeTest : public QObject {
    Q_OBJECT

  private slots:
    void fieldsReadAndWriteByName() {
        BugFields fields = Base();
        QCOMPARE(std::get<QString>(fields.value(BugField::Report)), fields.report);
        fields.setValue(BugField::FixedDate, FieldValue(DATE(45001.25)));
        QCOMPARE(fields.fixedDate, 45001.25);
        fields.setValue(BugField::ClassificationID, FieldValue(LONG{9}));
        QCOMPARE(fields.classificationID, LONG{9});
        BugFields other = fields;
        other.resolution = QStringLiteral("x");
        other.verifiedByID = 4;
        QCOMPARE(DifferingFields(fields, other),
                 (QList<BugField>{BugField::VerifiedByID, BugField::Resolution}));
        QCOMPARE(AllBugFields().size(), kBugFieldCount);
        QCOMPARE(FieldCaption(BugField::ReportedInVersionID),
                 QStringLiteral("Reported in Version"));
        QCOMPARE(FieldCaption(BugField::RecreateStep), QStringLiteral("Recreate Step"));
        QCOMPARE(FieldCaption(BugField::ClassificationID), QStringLiteral("Classification"));
    }

    // Rich texts compare exactly: a change of formatting alone is a change.
    void richTextsCompareExactly() {
        BugFields a = Base();
        BugFields b = Base();
        b.report = QStringLiteral("{\\rtf1 {\\b Steps}\\par}");
        QVERIFY(!SameField(a, b, BugField::Report));
        b.report = a.report;
        b.description = QStringLiteral("crash on start");
        QVERIFY(!SameField(a, b, BugField::Description));
    }

    void disjointChangesMergeWithoutClash() {
        const BugFields base = Base();
        BugFields mine = base;
        mine.description = QStringLiteral("Crash on start with an empty ledger");
        mine.workaround = QStringLiteral("{\\rtf1 Delete the cache\\par}");
        BugFields theirs = base;
        theirs.priority = QStringLiteral("High");
        theirs.report = QStringLiteral("{\\rtf1 Steps, refined\\par}");

        const MergeResult result = MergeBugFields(base, mine, theirs, kAll);
        QVERIFY(result.clashes.isEmpty());
        QCOMPARE(result.fromColleague, (QList<BugField>{BugField::Priority, BugField::Report}));
        BugFields expected = theirs;
        expected.description = mine.description;
        expected.workaround = mine.workaround;
        QCOMPARE(result.merged, expected);
        QCOMPARE(KeptChangeCaptions(result.fromColleague),
                 (QStringList{QStringLiteral("Priority"), QStringLiteral("Report")}));
    }

    void sameChangeOnBothSidesIsNoClash() {
        const BugFields base = Base();
        BugFields mine = base;
        mine.severity = QStringLiteral("Critical");
        BugFields theirs = mine;
        const MergeResult result = MergeBugFields(base, mine, theirs, kAll);
        QVERIFY(result.clashes.isEmpty());
        QVERIFY(result.fromColleague.isEmpty());
        QCOMPARE(result.merged, mine);
    }

    void differentChangesClashAndResolvePerField() {
        const BugFields base = Base();
        BugFields mine = base;
        mine.report = QStringLiteral("{\\rtf1 Mine\\par}");
        mine.priority = QStringLiteral("Low");
        mine.description = QStringLiteral("only mine");
        BugFields theirs = base;
        theirs.report = QStringLiteral("{\\rtf1 Theirs\\par}");
        theirs.priority = QStringLiteral("High");

        const MergeResult result = MergeBugFields(base, mine, theirs, kAll);
        QCOMPARE(result.clashes, (QList<BugField>{BugField::Priority, BugField::Report}));
        // Until resolved a clash holds the colleague's value; my own field is in already.
        QCOMPARE(result.merged.report, theirs.report);
        QCOMPARE(result.merged.description, mine.description);

        const BugFields resolved = ResolveClashes(
            result, mine, theirs,
            {{BugField::Report, MergeSide::Mine}, {BugField::Priority, MergeSide::Theirs}});
        QCOMPARE(resolved.report, mine.report);
        QCOMPARE(resolved.priority, theirs.priority);
        QCOMPARE(resolved.description, mine.description);
        // A clash without a choice keeps the colleague's value.
        QCOMPARE(ResolveClashes(result, mine, theirs, {}).report, theirs.report);
    }

    // A field my right does not cover is never taken from me, whoever changed it.
    void fieldsWithoutRightTakeTheirs() {
        const BugFields base = Base();
        BugFields mine = base;
        mine.priority = QStringLiteral("Low");
        mine.resolution = QStringLiteral("{\\rtf1 mine\\par}");
        mine.description = QStringLiteral("mine");
        BugFields theirs = base;
        theirs.priority = QStringLiteral("High");
        BugFieldSet editable = kAll;
        editable.remove(BugField::Priority);
        editable.remove(BugField::Resolution);

        const MergeResult result = MergeBugFields(base, mine, theirs, editable);
        QVERIFY(result.clashes.isEmpty());
        QCOMPARE(result.merged.priority, theirs.priority);
        QCOMPARE(result.merged.resolution, base.resolution);
        QCOMPARE(result.merged.description, mine.description);
        QCOMPARE(result.fromColleague, QList<BugField>{BugField::Priority});

        // Nothing editable: the merge is the colleague's row.
        QCOMPARE(MergeBugFields(base, mine, theirs, BugFieldSet()).merged, theirs);
    }

    void statusClashIsOneRowCarryingItsGroups() {
        const BugFields base = Base();
        const BugFields mine = Fixed(base, 2, 45100.5, 8);
        const BugFields theirs = Verified(base, 5, 45101.25);

        const MergeResult result = MergeBugFields(base, mine, theirs, kAll);
        QCOMPARE(result.clashes, QList<BugField>{BugField::Status});

        const BugFields keptMine =
            ResolveClashes(result, mine, theirs, {{BugField::Status, MergeSide::Mine}});
        QCOMPARE(keptMine, mine);
        const BugFields keptTheirs =
            ResolveClashes(result, mine, theirs, {{BugField::Status, MergeSide::Theirs}});
        QCOMPARE(keptTheirs, theirs);
        QCOMPARE(keptTheirs.fixedByID, LONG{0});
    }

    // Both set Fixed, at different times: still one Status row, not one per group field.
    void sameStatusWithDifferentGroupsClashesOnStatus() {
        const BugFields base = Base();
        const BugFields mine = Fixed(base, 2, 45100.5, 8);
        const BugFields theirs = Fixed(base, 5, 45100.75, 8);
        const MergeResult result = MergeBugFields(base, mine, theirs, kAll);
        QCOMPARE(result.clashes, QList<BugField>{BugField::Status});
        QCOMPARE(ResolveClashes(result, mine, theirs, {{BugField::Status, MergeSide::Mine}}), mine);

        const MergeResult alike = MergeBugFields(base, mine, mine, kAll);
        QVERIFY(alike.clashes.isEmpty());
    }

    // My status change brings its group even without the rights to edit those fields freely,
    // and a group field the colleague corrected alone survives a status change that kept it.
    void groupFollowsTheOneSideThatChangedStatus() {
        const BugFields fixed = Fixed(Base(), 5, 45100.5, 8);
        BugFields mine = Verified(fixed, 2, 45102.0);
        BugFields theirs = fixed;
        theirs.fixedDate = 45100.25; // corrected while Fixed
        BugFieldSet editable = kAll;
        editable.remove(BugField::VerifiedDate);
        editable.remove(BugField::FixedDate);

        MergeResult result = MergeBugFields(fixed, mine, theirs, editable);
        QVERIFY(result.clashes.isEmpty());
        QCOMPARE(result.merged.status, QStringLiteral("Verified"));
        QCOMPARE(result.merged.verifiedDate, 45102.0);
        QCOMPARE(result.merged.verifiedByID, LONG{2});
        QCOMPARE(result.merged.fixedDate, 45100.25);
        QCOMPARE(KeptChangeCaptions(result.fromColleague),
                 QStringList{QStringLiteral("Fixed Date")});

        // Reopened by me (the group cleared) against a colleague's correction: my status wins.
        mine = fixed;
        mine.status = QStringLiteral("Active");
        mine.fixedByID = 0;
        mine.fixedDate = 0;
        mine.fixedInVersionID = 0;
        result = MergeBugFields(fixed, mine, theirs, editable);
        QVERIFY(result.clashes.isEmpty());
        QCOMPARE(result.merged, mine);
    }

    void colleaguesStatusChangeWinsItsGroup() {
        const BugFields fixed = Fixed(Base(), 5, 45100.5, 8);
        BugFields mine = fixed;
        mine.fixedInVersionID = 9; // I corrected the version
        mine.priority = QStringLiteral("High");
        BugFields theirs = fixed;
        theirs.status = QStringLiteral("Active");
        theirs.fixedByID = 0;
        theirs.fixedDate = 0;
        theirs.fixedInVersionID = 0;

        const MergeResult result = MergeBugFields(fixed, mine, theirs, kAll);
        QVERIFY(result.clashes.isEmpty());
        BugFields expected = theirs;
        expected.priority = mine.priority;
        QCOMPARE(result.merged, expected);
        // The group is named by its status alone.
        QCOMPARE(KeptChangeCaptions(result.fromColleague), QStringList{QStringLiteral("Status")});
    }

    // Neither changed the status: group fields merge one by one and may clash on their own.
    void groupFieldsMergeAloneWhenStatusStays() {
        const BugFields fixed = Fixed(Base(), 5, 45100.5, 8);
        BugFields mine = fixed;
        mine.fixedDate = 45100.0;
        BugFields theirs = fixed;
        theirs.fixedDate = 45099.0;
        MergeResult result = MergeBugFields(fixed, mine, theirs, kAll);
        QCOMPARE(result.clashes, QList<BugField>{BugField::FixedDate});
        QCOMPARE(FieldsSettledWith(BugField::FixedDate), QList<BugField>{BugField::FixedDate});

        // Without the right to edit the date, mine is not even proposed.
        BugFieldSet editable = kAll;
        editable.remove(BugField::FixedDate);
        result = MergeBugFields(fixed, mine, theirs, editable);
        QVERIFY(result.clashes.isEmpty());
        QCOMPARE(result.merged.fixedDate, theirs.fixedDate);
    }

    void keptCaptionsTextForTheStatusBar() {
        QCOMPARE(merge_texts::SavedWithColleagueChanges(
                     {QStringLiteral("Priority"), QStringLiteral("Report")}),
                 QStringLiteral("Saved. A colleague's changes to Priority, Report were kept."));
        QCOMPARE(KeptChangeCaptions({BugField::Status, BugField::FixedByID, BugField::FixedDate,
                                     BugField::Report}),
                 (QStringList{QStringLiteral("Status"), QStringLiteral("Report")}));
    }
};

QTEST_GUILESS_MAIN(BugMergeTest)
#include "BugMergeTest.moc"
