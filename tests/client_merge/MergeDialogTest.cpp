// The merge question: one row per clash with both values, rich texts as plain text, names for
// IDs, Status with its group, a choice per row before OK, and the keep-all buttons.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "client/config/OleDate.h"
#include "client/merge/MergeDialog.h"
#include "client/merge/MergeTexts.h"

using namespace tarnwick;

namespace {

QString FakeName(FieldKind kind, LONG id) {
    switch (kind) {
    case FieldKind::User:
        return QStringLiteral("user %1").arg(id);
    case FieldKind::Version:
        return QStringLiteral("version %1").arg(id);
    case FieldKind::Classification:
        return id == 99 ? QString() : QStringLiteral("class %1").arg(id);
    default:
        return QString();
    }
}

struct Sides {
    BugFields mine;
    BugFields theirs;
};

Sides Clashing() {
    Sides sides;
    sides.mine.report = QStringLiteral("{\\rtf1\\ansi {\\b Mine} report\\par second line\\par}");
    sides.theirs.report = QStringLiteral("{\\rtf1\\ansi Their report\\par}");
    sides.mine.priority = QStringLiteral("Low");
    sides.theirs.priority = QStringLiteral("High");
    sides.mine.status = QStringLiteral("Fixed");
    sides.mine.fixedByID = 2;
    sides.mine.fixedInVersionID = 8;
    sides.mine.fixedDate = OleDateFromDateTime(QDateTime(QDate(2024, 5, 6), QTime(14, 30)));
    sides.theirs.status = QStringLiteral("Verified");
    sides.theirs.verifiedByID = 5;
    sides.mine.classificationID = 4;
    sides.theirs.classificationID = 99;
    return sides;
}

} // namespace

class MergeDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
    }

    void showsOneRowPerClashWithBothValues() {
        const Sides sides = Clashing();
        MergeDialog dialog(
            {BugField::Status, BugField::Priority, BugField::ClassificationID, BugField::Report},
            sides.mine, sides.theirs, FakeName);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Someone else changed this bug"));
        QCOMPARE(dialog.findChildren<QRadioButton*>().size(), 8);

        QCOMPARE(dialog.valueText(BugField::Priority, MergeSide::Mine), QStringLiteral("Low"));
        QCOMPARE(dialog.valueText(BugField::Priority, MergeSide::Theirs), QStringLiteral("High"));
        QCOMPARE(dialog.valueText(BugField::Report, MergeSide::Mine),
                 QStringLiteral("Mine report\nsecond line"));
        QCOMPARE(dialog.valueText(BugField::Report, MergeSide::Theirs),
                 QStringLiteral("Their report"));
        QCOMPARE(dialog.valueText(BugField::ClassificationID, MergeSide::Mine),
                 QStringLiteral("class 4"));
        // A name that cannot be found shows the number.
        QCOMPARE(dialog.valueText(BugField::ClassificationID, MergeSide::Theirs),
                 QStringLiteral("#99"));
        // Status carries its group: the fixer, date and version.
        QCOMPARE(dialog.valueText(BugField::Status, MergeSide::Mine),
                 QStringLiteral("Fixed\nFixed By: user 2\nFixed Date: 2024-05-06 14:30:00\n"
                                "Fixed in Version: version 8"));
        QCOMPARE(dialog.valueText(BugField::Status, MergeSide::Theirs),
                 QStringLiteral("Verified\nVerified By: user 5"));
        QVERIFY(dialog.choiceButton(BugField::Description, MergeSide::Mine) == nullptr);

        // The values are on screen, by the field's caption.
        QStringList shown;
        for (const QPlainTextEdit* view : dialog.findChildren<QPlainTextEdit*>()) {
            QVERIFY(view->isReadOnly());
            if (view->accessibleDescription() == QStringLiteral("Report"))
                shown.append(view->toPlainText());
        }
        QCOMPARE(shown, (QStringList{QStringLiteral("Mine report\nsecond line"),
                                     QStringLiteral("Their report")}));
        QStringList captions;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            captions.append(label->text());
        for (const char* caption : {"Status", "Priority", "Classification", "Report"})
            QVERIFY2(captions.contains(QLatin1String(caption)), caption);
    }

    void okWaitsForAChoiceOnEveryRow() {
        const Sides sides = Clashing();
        MergeDialog dialog({BugField::Priority, BugField::Report}, sides.mine, sides.theirs,
                           FakeName);
        dialog.open();
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(dialog.choices().isEmpty());
        QTest::mouseClick(dialog.choiceButton(BugField::Report, MergeSide::Mine), Qt::LeftButton);
        QVERIFY(!dialog.isComplete());
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.choose(BugField::Priority, MergeSide::Theirs);
        QVERIFY(dialog.okButton()->isEnabled());
        QCOMPARE(dialog.choices(),
                 (QMap<BugField, MergeSide>{{BugField::Report, MergeSide::Mine},
                                            {BugField::Priority, MergeSide::Theirs}}));

        QSignalSpy accepted(&dialog, &QDialog::accepted);
        dialog.okButton()->click();
        QCOMPARE(accepted.size(), 1);
    }

    void keepAllButtonsChooseEveryRow() {
        const Sides sides = Clashing();
        MergeDialog dialog({BugField::Status, BugField::Priority, BugField::Report}, sides.mine,
                           sides.theirs, FakeName);
        dialog.keepAllTheirsButton()->click();
        QCOMPARE(dialog.choices().size(), 3);
        for (const MergeSide side : dialog.choices())
            QCOMPARE(side, MergeSide::Theirs);
        dialog.keepAllMineButton()->click();
        for (const MergeSide side : dialog.choices())
            QCOMPARE(side, MergeSide::Mine);
        // Each row stays one choice.
        QVERIFY(!dialog.choiceButton(BugField::Status, MergeSide::Theirs)->isChecked());
    }

    void everyControlIsNamed() {
        const Sides sides = Clashing();
        MergeDialog dialog({BugField::Priority}, sides.mine, sides.theirs, FakeName);
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->text()));
        QCOMPARE(dialog.choiceButton(BugField::Priority, MergeSide::Mine)->accessibleName(),
                 QStringLiteral("Mine"));
        QCOMPARE(dialog.choiceButton(BugField::Priority, MergeSide::Theirs)->accessibleName(),
                 QStringLiteral("Theirs"));
        QCOMPARE(dialog.keepAllMineButton()->accessibleName(), QStringLiteral("Keep all mine"));
        QCOMPARE(dialog.keepAllTheirsButton()->accessibleName(), QStringLiteral("Keep all theirs"));
        for (const QPlainTextEdit* view : dialog.findChildren<QPlainTextEdit*>())
            QVERIFY(!view->accessibleName().isEmpty());
    }
};

QTEST_MAIN(MergeDialogTest)
#include "MergeDialogTest.moc"
