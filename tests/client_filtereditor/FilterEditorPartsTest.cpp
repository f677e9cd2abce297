// The filter editor's parts that need no engine: the name dialog, the Copy To target dialog and
// the value editor that changes with the kind of field.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "client/adapter/EngineCall.h"
#include "client/config/OleDate.h"
#include "client/filtereditor/FilterEditorTexts.h"
#include "client/filtereditor/FilterNameDialog.h"
#include "client/filtereditor/FilterValueEditor.h"
#include "client/filtereditor/SelectFilterDialog.h"
#include "client/widgets/MessageSink.h"
#include "client/widgets/NullableDateTimeEdit.h"

using namespace tarnwick;

namespace {

velmora::com::Variant Text(const QString& text) {
    velmora::com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = ToBstr(text).Detach();
    return value;
}

velmora::com::Variant Date(DATE date) {
    velmora::com::Variant value;
    value.vt = VT_DATE;
    value.date = date;
    return value;
}

} // namespace

class FilterEditorPartsTest : public QObject {
    Q_OBJECT

  private slots:
    void nameDialogRefusesAnEmptyNameAndStaysOpen() {
        RecordingMessageSink messages;
        FilterNameDialog dialog(messages);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter New Filter's Name"));
        QCOMPARE(dialog.nameEdit()->accessibleName(), QStringLiteral("Filter Name"));
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        dialog.open();
        dialog.accept();
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Filter's name can't be empty!")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(accepted.count(), 0);

        dialog.nameEdit()->setText(QStringLiteral("Crashes"));
        dialog.accept();
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.name(), QStringLiteral("Crashes"));
        QCOMPARE(messages.texts.size(), 1);
    }

    void nameDialogRefusesATakenNameExactly() {
        RecordingMessageSink messages;
        FilterNameDialog dialog(messages);
        dialog.setTakenNames({QStringLiteral("My Bugs")});
        dialog.setName(QStringLiteral("My Bugs"));
        dialog.open();
        dialog.accept();
        QCOMPARE(messages.texts, QStringList{QString::fromLatin1(filtereditor::kNameTaken)});
        QVERIFY(dialog.isVisible());
        // Names differ by letter case: a different filter.
        dialog.nameEdit()->setText(QStringLiteral("my bugs"));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void selectFilterDialogChoosesTheFirstAndCopiesOnlyWithAChoice() {
        SelectFilterDialog dialog({QStringLiteral("My Bugs"), QStringLiteral("Crashes")});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select a filter"));
        QCOMPARE(dialog.copyButton()->text(), QStringLiteral("Copy"));
        QCOMPARE(dialog.chosenIndex(), 0);
        dialog.open();
        dialog.filterList()->setCurrentRow(1);
        QCOMPARE(dialog.chosenIndex(), 1);
        dialog.filterList()->clearSelection();
        QCOMPARE(dialog.chosenIndex(), -1);
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.filterList()->setCurrentRow(1);
        dialog.copyButton()->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void wildcardsAreAppendedToTheText() {
        FilterValueEditor editor;
        editor.setKind(FilterValueKind::Text);
        editor.textEdit()->setText(QStringLiteral("crash"));
        QCOMPARE(editor.wildcardButton()->text(), QStringLiteral("..."));
        const QList<QAction*> actions = editor.wildcardMenu()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("Any Character"));
        QCOMPARE(actions[1]->text(), QStringLiteral("Any One Character"));
        actions[0]->trigger();
        actions[1]->trigger();
        actions[0]->trigger();
        QCOMPARE(editor.textEdit()->text(), QStringLiteral("crash%_%"));
        const velmora::com::Variant value = editor.value();
        QCOMPARE(value.vt, VARTYPE(VT_BSTR));
        QCOMPARE(FromBstr(value.bstrVal), QStringLiteral("crash%_%"));
    }

    void eachKindShowsItsControlAndGivesItsType() {
        FilterValueEditor editor;
        editor.setKind(FilterValueKind::List);
        QCOMPARE(editor.currentControl(), static_cast<QWidget*>(editor.listBox()));
        editor.setEntries({QStringLiteral("New"), QStringLiteral("Fixed")});
        QCOMPARE(editor.listBox()->currentText(), QStringLiteral("New"));
        editor.setValue(Text(QStringLiteral("Fixed")));
        QCOMPARE(FromBstr(editor.value().bstrVal), QStringLiteral("Fixed"));
        // A value the list lacks chooses nothing rather than a wrong entry.
        editor.setValue(Text(QStringLiteral("fixed")));
        QCOMPARE(editor.listBox()->currentIndex(), -1);
        QCOMPARE(FromBstr(editor.value().bstrVal), QString());

        editor.setKind(FilterValueKind::Date);
        QCOMPARE(editor.currentControl(), static_cast<QWidget*>(editor.datePicker()));
        // A date condition starts from today rather than from no date.
        QCOMPARE(editor.value().vt, VARTYPE(VT_DATE));
        QCOMPARE(editor.value().date, OleDateFromDate(QDate::currentDate()));
        // The time of day is dropped: conditions compare days.
        editor.setValue(Date(OleDateFromDateTime(QDateTime(QDate(2004, 3, 5), QTime(13, 30)))));
        QCOMPARE(editor.value().date, OleDateFromDate(QDate(2004, 3, 5)));
        editor.setValue(Date(kNoDate));
        QCOMPARE(editor.value().date, kNoDate);

        editor.setKind(FilterValueKind::Text);
        QCOMPARE(editor.currentControl(), static_cast<QWidget*>(editor.textEdit()));
        editor.setValue(Date(OleDateFromDate(QDate(2004, 3, 5))));
        QCOMPARE(editor.textEdit()->text(), QString());
    }

    void controlsAreNamedForScreenReaders() {
        FilterValueEditor editor;
        QCOMPARE(editor.textEdit()->accessibleName(), QStringLiteral("Value"));
        QCOMPARE(editor.listBox()->accessibleName(), QStringLiteral("Value"));
        QCOMPARE(editor.datePicker()->dateTimeEdit()->accessibleName(), QStringLiteral("Value"));
        QCOMPARE(editor.wildcardButton()->accessibleName(), QStringLiteral("..."));
        SelectFilterDialog dialog({});
        QCOMPARE(dialog.chosenIndex(), -1);
        QVERIFY(!dialog.filterList()->accessibleName().isEmpty());
    }
};

QTEST_MAIN(FilterEditorPartsTest)
#include "FilterEditorPartsTest.moc"
