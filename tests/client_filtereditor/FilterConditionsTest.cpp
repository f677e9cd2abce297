// The filter dialog's condition editing on a demo database: what each field offers, Add
// Condition, Apply and Delete Condition, and what reaches the engine's filters.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "client/config/OleDate.h"
#include "client/filtereditor/FilterDialog.h"
#include "client/filtereditor/FilterValueEditor.h"
#include "client/list/DateText.h"
#include "client/widgets/MessageSink.h"
#include "client/widgets/NullableDateTimeEdit.h"
#include "tests/client_config/FilterTestSupport.h"
#include "tests/client_filtereditor/FilterEditorTestSupport.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

void ChooseField(FilterDialog& dialog, const char* caption) {
    QComboBox* field = dialog.fieldEditor();
    const int index = field->findText(QString::fromLatin1(caption));
    QVERIFY2(index >= 0, caption);
    field->setCurrentIndex(index);
}

void ChooseText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

void ClickRow(FilterDialog& dialog, int row) {
    dialog.conditionList()->setCurrentItem(dialog.conditionList()->topLevelItem(row));
}

void ChooseFilter(FilterDialog& dialog, const char* name) {
    const auto found = dialog.nameList()->findItems(QString::fromLatin1(name), Qt::MatchExactly);
    QVERIFY2(found.size() == 1, name);
    dialog.nameList()->setCurrentItem(found.first());
}

} // namespace

class FilterConditionsTest : public QObject {
    Q_OBJECT

    ClientTestEnvironment environment_;
    QString database_;
    ComPtr<IExeContext> session_;
    FilterList list_;
    RecordingMessageSink messages_;
    std::unique_ptr<FilterDialog> dialog_;

    FilterDialog& Open() {
        dialog_ = std::make_unique<FilterDialog>(session_, list_, messages_);
        dialog_->open();
        return *dialog_;
    }

  private slots:
    void initTestCase() {
        database_ = environment_.DemoDatabase(QStringLiteral("conditions.mdb"), 40);
    }
    void init() {
        session_ = OpenSession(database_);
        list_ = BuildList(session_.Get(), environment_.File(QStringLiteral("none.ser")));
        messages_.texts.clear();
        messages_.answers.clear();
    }
    void cleanup() {
        dialog_.reset();
        session_.Reset();
    }

    void opensOnTheFirstFilterWithEveryControlNamed() {
        FilterDialog& dialog = Open();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Filter"));
        QCOMPARE(Texts(dialog.nameList()), NamesOf(list_));
        QCOMPARE(dialog.nameList()->currentRow(), 0);
        QCOMPARE(dialog.conditionList()->topLevelItemCount(),
                 int(Long(list_.GetAt(0).Get(), &IBugFilterSet::get_Count)));
        QTreeWidget* conditions = dialog.conditionList();
        QCOMPARE(conditions->headerItem()->text(0), QStringLiteral("And/Or"));
        QCOMPARE(conditions->headerItem()->text(3), QStringLiteral("Value"));
        QCOMPARE(conditions->columnWidth(0), 70);
        QCOMPARE(conditions->columnWidth(1), 110);
        QCOMPARE(conditions->columnWidth(2), 85);
        QCOMPARE(conditions->columnWidth(3), 180);
        QCOMPARE(dialog.deleteConditionButton()->text(), QStringLiteral("D&elete Conditon"));
        QCOMPARE(dialog.addConditionButton()->text(), QStringLiteral("Add &Condition"));
        QCOMPARE(Texts(dialog.andOrEditor()), (QStringList{"And", "Or"}));
        QCOMPARE(dialog.fieldEditor()->count(), 18);

        QStringList unnamed;
        for (QWidget* widget : dialog.findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget);
            if (!control || !widget->isVisibleTo(&dialog) ||
                qobject_cast<QComboBox*>(widget->parent()))
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QString::fromLatin1(widget->metaObject()->className()) +
                               QLatin1Char('/') +
                               QString::fromLatin1(widget->parent()->metaObject()->className());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
        QCOMPARE(dialog.newButton()->accessibleName(), QStringLiteral("New"));
        QCOMPARE(dialog.deleteConditionButton()->accessibleName(),
                 QStringLiteral("Delete Conditon"));
    }

    void conditionRowsShowCaptionsAndDatesInTheClientFormat() {
        FilterDialog& dialog = Open();
        dialog.setDateFormat(QStringLiteral("%Y-%m-%d"));
        ChooseFilter(dialog, "Today's Bug");
        QCOMPARE(Rows(dialog.conditionList()),
                 QStringList{QStringLiteral("|Reported Date|Equal|") +
                             QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))});
        // The format can change while a filter is shown.
        dialog.setDateFormat(QStringLiteral("%d.%m.%Y"));
        QCOMPARE(dialog.conditionList()->topLevelItem(0)->text(3),
                 QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
        ChooseFilter(dialog, "Fixed Bugs");
        QCOMPARE(Rows(dialog.conditionList()), QStringList{QStringLiteral("|Status|Equal|Fixed")});
    }

    void secondRowsShowTheirAndOrAndUnknownColumnsShowNoCaption() {
        auto set = MakeSet(QStringLiteral("Mixed"),
                           {{"StatusName", Equal, TextValue(QStringLiteral("New")), LogAnd},
                            {"BugID", LargerThan, velmora::com::Variant(LONG(7)), LogOr},
                            {"Description", Not, TextValue(QStringLiteral("x")), LogAnd}});
        QVERIFY(list_.Add(set));
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Mixed");
        QCOMPARE(Rows(dialog.conditionList()),
                 (QStringList{"|Status|Equal|New", "Or||Larger Than|7", "And|Description||x"}));
        // A column the field list lacks chooses no field; Apply keeps its column and value.
        ClickRow(dialog, 1);
        QCOMPARE(dialog.fieldEditor()->currentIndex(), -1);
        ChooseText(dialog.conditionEditor(), QStringLiteral("Not Equal"));
        dialog.apply();
        QCOMPARE(Describe(set.Get())[1], QStringLiteral("2 BugID 3 3:7"));
        const QStringList edited =
            Describe(dialog.editedList().FindByName(QStringLiteral("Mixed")).Get());
        QCOMPARE(edited[1], QStringLiteral("2 BugID 2 3:7"));
        QVERIFY(messages_.texts.isEmpty());
    }

    void reportedDateOffersSixComparisonsAndADatePicker() {
        FilterDialog& dialog = Open();
        ChooseField(dialog, "Reported Date");
        QCOMPARE(Texts(dialog.conditionEditor()),
                 (QStringList{"Equal", "Not Equal", "Larger Than", "Larger Equal", "Less Than",
                              "Less Equal"}));
        QCOMPARE(dialog.conditionEditor()->currentIndex(), 0);
        QCOMPARE(dialog.valueEditor()->currentControl(),
                 static_cast<QWidget*>(dialog.valueEditor()->datePicker()));
        QVERIFY(dialog.valueEditor()->datePicker()->isVisibleTo(&dialog));
        QVERIFY(!dialog.valueEditor()->textEdit()->isVisibleTo(&dialog));
    }

    void statusOffersTwoComparisonsAndEveryStatus() {
        FilterDialog& dialog = Open();
        ChooseField(dialog, "Description");
        QCOMPARE(Texts(dialog.conditionEditor()), (QStringList{"Equal", "Not Equal", "Include"}));
        QVERIFY(dialog.valueEditor()->textEdit()->isVisibleTo(&dialog));
        ChooseField(dialog, "Status");
        QCOMPARE(Texts(dialog.conditionEditor()), (QStringList{"Equal", "Not Equal"}));
        QVERIFY(dialog.valueEditor()->listBox()->isVisibleTo(&dialog));
        const QStringList all =
            LookupNames(Object(session_.Get(), &IExeContext::get_AllBugStatus).Get());
        const QStringList roles =
            LookupNames(Object(session_.Get(), &IExeContext::get_BugStatus).Get());
        QCOMPARE(Texts(dialog.valueEditor()->listBox()), all);
        for (const QString& status : roles)
            QVERIFY(all.contains(status));
        QVERIFY(all.contains(QStringLiteral("Fixed")));
        QVERIFY(all.contains(QStringLiteral("Verified")));
    }

    void listFieldsOfferTheSessionsEntries() {
        FilterDialog& dialog = Open();
        const LONG productID = Long(session_.Get(), &IExeContext::get_ActiveProductID);
        ComPtr<IClassificationSet> classifications;
        Check(session_->GetUserClassification(0, productID, classifications.Put()));
        QStringList classificationNames;
        for (LONG i = 0; i < Long(classifications.Get(), &IClassificationSet::get_Count); ++i)
            classificationNames << Text(
                Item(classifications.Get(), &IClassificationSet::get_Item, i).Get(),
                &IClassification::get_Name);
        QVERIFY(!classificationNames.isEmpty());
        const auto users = Object(session_.Get(), &IExeContext::get_AllUser);
        QStringList userNames;
        for (LONG i = 0; i < Long(users.Get(), &IUserSet::get_Count); ++i)
            userNames << Text(Item(users.Get(), &IUserSet::get_Item, i).Get(),
                              &IUser::get_UserName);
        const auto product = Object(session_.Get(), &IExeContext::get_ActiveProduct);
        QStringList versions;
        for (LONG i = 0; i < Long(product.Get(), &IProduct::get_VersionCount); ++i)
            versions << Text(Item(product.Get(), &IProduct::get_Version, i).Get(),
                             &IVersion::get_Name);
        QVERIFY(versions.size() >= 2);

        const struct {
            const char* caption;
            QStringList entries;
        } expected[] = {
            {"Classification", classificationNames},
            {"Reported By", userNames},
            {"Fixed By", userNames},
            {"Verified By", userNames},
            {"Reported In Version", versions},
            {"Fixed In Version", versions},
            {"Severity", LookupNames(Object(session_.Get(), &IExeContext::get_BugSeverity).Get())},
            {"Priority", LookupNames(Object(session_.Get(), &IExeContext::get_BugPriority).Get())},
            {"Reproductive",
             LookupNames(Object(session_.Get(), &IExeContext::get_BugReproductive).Get())},
        };
        for (const auto& field : expected) {
            ChooseField(dialog, field.caption);
            QCOMPARE(Texts(dialog.valueEditor()->listBox()), field.entries);
            QVERIFY2(!field.entries.isEmpty(), field.caption);
            QCOMPARE(dialog.valueEditor()->listBox()->currentIndex(), 0);
        }
        QVERIFY(messages_.texts.isEmpty());
    }

    void addConditionAppliesTheFirstEntriesToANewRow() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        ChooseField(dialog, "Status");
        dialog.addConditionButton()->click();
        QCOMPARE(dialog.conditionList()->topLevelItemCount(), 2);
        QCOMPARE(dialog.conditionList()->topLevelItem(1)->isSelected(), true);
        QCOMPARE(dialog.fieldEditor()->currentText(), QStringLiteral("Classification"));
        const QString firstClassification = dialog.valueEditor()->listBox()->itemText(0);
        QCOMPARE(Rows(dialog.conditionList())[1],
                 QStringLiteral("And|Classification|Equal|") + firstClassification);
        const auto set = dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"));
        QCOMPARE(Describe(set.Get())[1],
                 QStringLiteral("1 Classification 1 8:") + firstClassification);
        QVERIFY(messages_.texts.isEmpty());
    }

    void reportedInVersionIsStoredByNameAndShownAgain() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        dialog.addCondition();
        ChooseText(dialog.andOrEditor(), QStringLiteral("Or"));
        ChooseField(dialog, "Reported In Version");
        ChooseText(dialog.conditionEditor(), QStringLiteral("Not Equal"));
        QComboBox* versions = dialog.valueEditor()->listBox();
        const QString version = versions->itemText(versions->count() - 1);
        versions->setCurrentIndex(versions->count() - 1);
        dialog.applyButton()->click();

        const auto set = dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"));
        QCOMPARE(Describe(set.Get())[1], QStringLiteral("2 ReportedInVersion 2 8:") + version);
        QCOMPARE(Rows(dialog.conditionList())[1],
                 QStringLiteral("Or|Reported In Version|Not Equal|") + version);

        // Another row, then this one again: the editors show what was stored.
        ClickRow(dialog, 0);
        QCOMPARE(dialog.fieldEditor()->currentText(), QStringLiteral("Status"));
        QCOMPARE(dialog.valueEditor()->listBox()->currentText(), QStringLiteral("Fixed"));
        ClickRow(dialog, 1);
        QCOMPARE(dialog.andOrEditor()->currentText(), QStringLiteral("Or"));
        QCOMPARE(dialog.fieldEditor()->currentText(), QStringLiteral("Reported In Version"));
        QCOMPARE(dialog.conditionEditor()->currentText(), QStringLiteral("Not Equal"));
        QCOMPARE(dialog.valueEditor()->listBox()->currentText(), version);
        QVERIFY(messages_.texts.isEmpty());
    }

    void applyStoresTextsWithWildcardsAndDatesAsDays() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Verified Bugs");
        ClickRow(dialog, 0);
        ChooseField(dialog, "Description");
        ChooseText(dialog.conditionEditor(), QStringLiteral("Include"));
        dialog.valueEditor()->textEdit()->setText(QStringLiteral("crash"));
        dialog.valueEditor()->wildcardMenu()->actions()[0]->trigger();
        dialog.apply();
        dialog.addCondition();
        ChooseField(dialog, "Fixed Date");
        ChooseText(dialog.conditionEditor(), QStringLiteral("Larger Equal"));
        dialog.valueEditor()->datePicker()->setValue(
            OleDateFromDateTime(QDateTime(QDate(2004, 3, 5), QTime(17, 45))));
        dialog.apply();
        const auto set = dialog.editedList().FindByName(QStringLiteral("Verified Bugs"));
        const QString day = QString::number(OleDateFromDate(QDate(2004, 3, 5)), 'g', 17);
        QCOMPARE(Describe(set.Get()),
                 (QStringList{"2 Description 8 8:crash%", "1 FixedDate 4 7:" + day}));
        Bstr sql;
        Check(set->GetSQL(sql.Put()));
        QCOMPARE(FromBstr(sql.Get()),
                 QStringLiteral("Description LIKE 'crash%' AND FixedDate >= #3/5/2004#"));
        QCOMPARE(Rows(dialog.conditionList())[1],
                 QStringLiteral("And|Fixed Date|Larger Equal|") +
                     DateText(OleDateFromDate(QDate(2004, 3, 5)), QString()));
    }

    void applyWithoutARowAsksForOne() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        const QStringList before = DescribeList(dialog.editedList());
        dialog.conditionList()->clearSelection();
        dialog.applyButton()->click();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Please select an item!")});
        QCOMPARE(DescribeList(dialog.editedList()), before);
    }

    void deletingTheOnlyConditionKeepsTheFilter() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        ClickRow(dialog, 0);
        dialog.deleteConditionButton()->click();
        QCOMPARE(dialog.conditionList()->topLevelItemCount(), 0);
        const auto set = dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"));
        QVERIFY(set);
        QCOMPARE(Long(set.Get(), &IBugFilterSet::get_Count), LONG(0));
        QVERIFY(Texts(dialog.nameList()).contains(QStringLiteral("Fixed Bugs")));
        // Nothing is selected any more: a second delete does nothing, Apply asks for a row.
        dialog.deleteCondition();
        dialog.apply();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Please select an item!")});
    }

    void deletingTheFirstConditionBlanksTheNewFirstAndOr() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        dialog.addCondition();
        ChooseText(dialog.andOrEditor(), QStringLiteral("Or"));
        dialog.apply();
        QCOMPARE(Rows(dialog.conditionList())[1].section(QLatin1Char('|'), 0, 0),
                 QStringLiteral("Or"));
        ClickRow(dialog, 0);
        dialog.deleteCondition();
        QCOMPARE(dialog.conditionList()->topLevelItemCount(), 1);
        QCOMPARE(dialog.conditionList()->topLevelItem(0)->text(0), QString());
        QCOMPARE(dialog.conditionList()->topLevelItem(0)->text(1),
                 QStringLiteral("Classification"));
        const auto set = dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"));
        QCOMPARE(Describe(set.Get()).size(), 1);
        QVERIFY(Describe(set.Get())[0].startsWith(QStringLiteral("2 Classification 1 8:")));
    }

    void aRefusedValueLeavesTheConditionAsItWas() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        ClickRow(dialog, 0);
        const QStringList before = DescribeList(dialog.editedList());
        ChooseText(dialog.andOrEditor(), QStringLiteral("And"));
        ChooseField(dialog, "Reported Date");
        ChooseText(dialog.conditionEditor(), QStringLiteral("Less Than"));
        // A text where the column takes a date: the engine refuses the value.
        dialog.valueEditor()->setKind(FilterValueKind::Text);
        dialog.apply();
        QCOMPARE(messages_.texts.size(), 1);
        QVERIFY(!messages_.texts[0].isEmpty());
        QCOMPARE(DescribeList(dialog.editedList()), before);
        QCOMPARE(Rows(dialog.conditionList()), QStringList{QStringLiteral("|Status|Equal|Fixed")});
    }

    void engineFailuresShowTheEnginesMessage() {
        FilterDialog& dialog = Open();
        ChooseFilter(dialog, "Fixed Bugs");
        ClickRow(dialog, 0);
        // The filter loses its condition behind the dialog's back: the row names a condition
        // the engine no longer has.
        Check(dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"))->Remove(0));
        dialog.apply();
        QCOMPARE(messages_.texts,
                 QStringList{QStringLiteral("Some error has occured, please see err.log!")});
    }
};

QTEST_MAIN(FilterConditionsTest)
#include "FilterConditionsTest.moc"
