// The filter dialog's filter sets on a demo database: New, Rename, Delete and Copy To, what OK
// hands back and what Cancel leaves alone, and a filter built in the dialog used on real bugs.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <set>

#include "client/filtereditor/FilterDialog.h"
#include "client/filtereditor/FilterNameDialog.h"
#include "client/filtereditor/FilterValueEditor.h"
#include "client/filtereditor/SelectFilterDialog.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_config/FilterTestSupport.h"
#include "tests/client_filtereditor/FilterEditorTestSupport.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// Answers the name dialog that New or Rename opened.
void AnswerName(FilterDialog& dialog, const QString& name) {
    FilterNameDialog* names = dialog.nameDialog();
    QVERIFY(names);
    QVERIFY(names->isVisible());
    names->nameEdit()->setText(name);
    names->accept();
}

void ChooseText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

// Adds a condition "andOr field = value" to the shown filter through the editors.
void AddEqualCondition(FilterDialog& dialog, const char* andOr, const char* field,
                       const QString& value) {
    dialog.addCondition();
    ChooseText(dialog.andOrEditor(), QString::fromLatin1(andOr));
    ChooseText(dialog.fieldEditor(), QString::fromLatin1(field));
    ChooseText(dialog.valueEditor()->listBox(), value);
    dialog.apply();
}

struct BugFacts {
    LONG id;
    QString status;
    QString severity;
};

std::vector<BugFacts> Walk(IBugSet* bugs) {
    std::vector<BugFacts> facts;
    Check(bugs->First());
    for (;;) {
        LONG end = 0;
        Check(bugs->IsEnd(&end));
        if (end) break;
        const auto bug = Object(bugs, &IBugSet::get_CurItem);
        facts.push_back({Long(bug.Get(), &IBug::get_ID), Text(bug.Get(), &IBug::get_Status),
                         Text(bug.Get(), &IBug::get_Severity)});
        Check(bugs->Next());
    }
    return facts;
}

} // namespace

class FilterSetsTest : public QObject {
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
    void initTestCase() { database_ = environment_.DemoDatabase(QStringLiteral("sets.mdb"), 60); }
    void init() {
        session_ = OpenSession(database_);
        list_ = BuildList(session_.Get(), environment_.File(QStringLiteral("none.ser")));
        QVERIFY(list_.Add(
            MakeSet(QStringLiteral("Saved"),
                    {{"SeverityName", Equal, TextValue(QStringLiteral("High")), LogAnd}})));
        messages_.texts.clear();
        messages_.answers.clear();
    }
    void cleanup() {
        dialog_.reset();
        session_.Reset();
    }

    void newFilterIsAddedChosenAndEmpty() {
        FilterDialog& dialog = Open();
        dialog.newButton()->click();
        QCOMPARE(dialog.nameDialog()->windowTitle(), QStringLiteral("Enter New Filter's Name"));
        AnswerName(dialog, QString());
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Filter's name can't be empty!")});
        QVERIFY(dialog.nameDialog()->isVisible());
        AnswerName(dialog, QStringLiteral("Crashes"));
        QCOMPARE(Texts(dialog.nameList()).last(), QStringLiteral("Crashes"));
        QCOMPARE(dialog.nameList()->currentItem()->text(), QStringLiteral("Crashes"));
        QCOMPARE(dialog.conditionList()->topLevelItemCount(), 0);
        QCOMPARE(NamesOf(dialog.editedList()), Texts(dialog.nameList()));
        QCOMPARE(Long(dialog.editedList().FindByName(QStringLiteral("Crashes")).Get(),
                      &IBugFilterSet::get_Count),
                 LONG(0));
        QCOMPARE(messages_.texts.size(), 1);
    }

    void aNameThatExistsAddsNothing() {
        FilterDialog& dialog = Open();
        const QStringList before = DescribeList(dialog.editedList());
        dialog.newFilter();
        AnswerName(dialog, QStringLiteral("Fixed Bugs"));
        QCOMPARE(DescribeList(dialog.editedList()), before);
        QCOMPARE(Texts(dialog.nameList()), NamesOf(list_));
        QCOMPARE(dialog.nameList()->currentItem()->text(), QStringLiteral("Fixed Bugs"));
        QCOMPARE(Rows(dialog.conditionList()), QStringList{QStringLiteral("|Status|Equal|Fixed")});
        QVERIFY(messages_.texts.isEmpty());
    }

    void aListThatCannotBeCopiedIsNotOpened() {
        // A condition whose value no longer fits its column: the copy refuses the value.
        const auto broken =
            MakeSet(QStringLiteral("Broken"),
                    {{"StatusName", Equal, TextValue(QStringLiteral("New")), LogAnd}});
        Check(Item(broken.Get(), &IBugFilterSet::get_Item, 0)
                  ->put_Field(ToBstr(QStringLiteral("ReportedDate")).Get()));
        QVERIFY(list_.Add(broken));
        const QStringList before = DescribeList(list_);
        FilterDialog& dialog = Open();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(messages_.texts.size(), 1);
        QVERIFY(!messages_.texts[0].isEmpty());
        QCOMPARE(DescribeList(list_), before);
    }

    void addConditionNeedsAFilter() {
        FilterList empty;
        dialog_ = std::make_unique<FilterDialog>(session_, empty, messages_);
        dialog_->open();
        QVERIFY(dialog_->isVisible());
        QCOMPARE(dialog_->nameList()->count(), 0);
        dialog_->addCondition();
        dialog_->renameFilter();
        dialog_->deleteFilter();
        dialog_->copyTo();
        QCOMPARE(dialog_->conditionList()->topLevelItemCount(), 0);
        QVERIFY(!dialog_->nameDialog());
        QVERIFY(!dialog_->selectFilterDialog());
        QVERIFY(messages_.texts.isEmpty());
    }

    void renameReplacesTheNameInPlace() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(2);
        dialog.renameButton()->click();
        QCOMPARE(dialog.nameDialog()->nameEdit()->text(), QStringLiteral("Fixed Bugs"));
        AnswerName(dialog, QString());
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Filter's name can't be empty!")});
        // Another filter's name would make two filters of one name: refused, the dialog stays.
        AnswerName(dialog, QStringLiteral("Saved"));
        QCOMPARE(messages_.texts.size(), 2);
        QVERIFY(dialog.nameDialog()->isVisible());
        AnswerName(dialog, QStringLiteral("Closed Bugs"));
        QStringList expected = NamesOf(list_);
        expected[2] = QStringLiteral("Closed Bugs");
        QCOMPARE(Texts(dialog.nameList()), expected);
        QCOMPARE(NamesOf(dialog.editedList()), expected);
        QCOMPARE(Rows(dialog.conditionList()), QStringList{QStringLiteral("|Status|Equal|Fixed")});
        // Keeping the own name is allowed.
        dialog.renameFilter();
        dialog.nameDialog()->accept();
        QCOMPARE(NamesOf(dialog.editedList()), expected);
        QCOMPARE(messages_.texts.size(), 2);
    }

    void deleteAsksFirst() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(4);
        messages_.answers = {false};
        dialog.deleteButton()->click();
        QCOMPARE(messages_.texts,
                 QStringList{QStringLiteral("Do you really want to delete this filter?")});
        QCOMPARE(NamesOf(dialog.editedList()), NamesOf(list_));

        messages_.answers = {true};
        dialog.deleteFilter();
        QStringList expected = NamesOf(list_);
        expected.removeAt(4);
        QCOMPARE(NamesOf(dialog.editedList()), expected);
        QCOMPARE(Texts(dialog.nameList()), expected);
        QCOMPARE(dialog.nameList()->currentRow(), 0);
        QCOMPARE(dialog.conditionList()->topLevelItemCount(),
                 int(Long(dialog.editedList().GetAt(0).Get(), &IBugFilterSet::get_Count)));
    }

    void predefinedFiltersCanBeDeletedAndTheCountFollows() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(1);
        dialog.deleteFilter();
        QCOMPARE(dialog.editedList().PredefinedCount(), 3);
        QCOMPARE(NamesOf(dialog.editedList()).last(), QStringLiteral("Saved"));
    }

    void copyToAppendsTheConditions() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(4); // "Saved": SeverityName = High
        dialog.copyToButton()->click();
        SelectFilterDialog* select = dialog.selectFilterDialog();
        QVERIFY(select);
        QCOMPARE(select->windowTitle(), QStringLiteral("Select a filter"));
        QCOMPARE(Texts(select->filterList()), NamesOf(list_));
        select->filterList()->setCurrentRow(2); // "Fixed Bugs"
        select->copyButton()->click();
        QVERIFY(messages_.texts.isEmpty());
        const auto fixed = dialog.editedList().FindByName(QStringLiteral("Fixed Bugs"));
        QCOMPARE(Describe(fixed.Get()),
                 (QStringList{"2 StatusName 1 8:Fixed", "1 SeverityName 1 8:High"}));
        // A copy, not the same condition: the source stays as it was when the copy changes.
        const auto copied = Item(fixed.Get(), &IBugFilterSet::get_Item, 1);
        Check(copied->put_Condition(NotEqual));
        QCOMPARE(Describe(dialog.editedList().FindByName(QStringLiteral("Saved")).Get()),
                 QStringList{QStringLiteral("1 SeverityName 1 8:High")});
        // The shown filter is unchanged, its rows too.
        QCOMPARE(Rows(dialog.conditionList()), QStringList{QStringLiteral("|Severity|Equal|High")});
    }

    void copyIntoItselfDoublesTheConditionsOnce() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(4);
        dialog.copyTo();
        dialog.selectFilterDialog()->filterList()->setCurrentRow(4);
        dialog.selectFilterDialog()->accept();
        QCOMPARE(Rows(dialog.conditionList()),
                 (QStringList{"|Severity|Equal|High", "And|Severity|Equal|High"}));
    }

    void aFailedCopySaysSo() {
        FilterDialog& dialog = Open();
        // The last filter is replaced, in place, by one that refuses appended conditions.
        auto& edited = const_cast<FilterList&>(dialog.editedList());
        const int last = edited.Count() - 1;
        const auto saved = edited.GetAt(last);
        QVERIFY(edited.RemoveAt(last));
        QVERIFY(edited.Add(RefusingAddBatch(saved)));
        dialog.nameList()->setCurrentRow(2);
        dialog.copyTo();
        dialog.selectFilterDialog()->filterList()->setCurrentRow(last);
        dialog.selectFilterDialog()->accept();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Copy to failed!")});
        QCOMPARE(Long(saved.Get(), &IBugFilterSet::get_Count), LONG(1));
    }

    void cancelLeavesTheCallersFiltersAlone() {
        const QStringList before = DescribeList(list_);
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(2);
        dialog.conditionList()->setCurrentItem(dialog.conditionList()->topLevelItem(0));
        QComboBox* statuses = dialog.valueEditor()->listBox();
        statuses->setCurrentIndex(statuses->count() - 1);
        QVERIFY(statuses->currentText() != QStringLiteral("Fixed"));
        dialog.apply();
        dialog.addCondition();
        dialog.renameFilter();
        AnswerName(dialog, QStringLiteral("Renamed"));
        dialog.nameList()->setCurrentRow(4);
        dialog.deleteFilter();
        dialog.newFilter();
        AnswerName(dialog, QStringLiteral("Another"));
        QVERIFY(DescribeList(dialog.editedList()) != before);
        dialog.reject();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(DescribeList(list_), before);
        QCOMPARE(list_.PredefinedCount(), 4);
    }

    void okHandsBackTheEditedPredefinedFilters() {
        FilterDialog& dialog = Open();
        dialog.nameList()->setCurrentRow(2);
        dialog.conditionList()->setCurrentItem(dialog.conditionList()->topLevelItem(0));
        ChooseText(dialog.conditionEditor(), QStringLiteral("Not Equal"));
        dialog.apply();
        dialog.newFilter();
        AnswerName(dialog, QStringLiteral("Another"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        FilterList taken;
        taken.Copy(dialog.editedList());
        QCOMPARE(taken.PredefinedCount(), 4);
        QCOMPARE(NamesOf(taken), NamesOf(list_) << QStringLiteral("Another"));
        QCOMPARE(Describe(taken.FindByName(QStringLiteral("Fixed Bugs")).Get()),
                 QStringList{QStringLiteral("2 StatusName 2 8:Fixed")});
        QCOMPARE(Describe(list_.FindByName(QStringLiteral("Fixed Bugs")).Get()),
                 QStringList{QStringLiteral("2 StatusName 1 8:Fixed")});
    }

    void aFilterBuiltInTheDialogSelectsTheRightBugs() {
        ComPtr<IBugSet> all;
        Check(session_->OpenBugSet(nullptr, all.Put()));
        const std::vector<BugFacts> bugs = Walk(all.Get());
        QVERIFY(bugs.size() >= 10);
        // Status and severity of the first bug, and a status some other bug has.
        const QString status = bugs.front().status;
        const QString severity = bugs.front().severity;
        QString otherStatus;
        for (const BugFacts& bug : bugs)
            if (bug.status != status) otherStatus = bug.status;
        QVERIFY(!otherStatus.isEmpty());

        FilterDialog& dialog = Open();
        dialog.newFilter();
        AnswerName(dialog, QStringLiteral("Two groups"));
        AddEqualCondition(dialog, "And", "Status", status);
        AddEqualCondition(dialog, "And", "Severity", severity);
        AddEqualCondition(dialog, "Or", "Status", otherStatus);
        QCOMPARE(Rows(dialog.conditionList()),
                 (QStringList{"|Status|Equal|" + status, "And|Severity|Equal|" + severity,
                              "Or|Status|Equal|" + otherStatus}));
        QVERIFY(messages_.texts.isEmpty());
        dialog.accept();

        const auto filter = dialog.editedList().FindByName(QStringLiteral("Two groups"));
        ComPtr<IBugSet> filtered;
        Check(session_->OpenBugSet(filter.Get(), filtered.Put()));
        std::set<LONG> got;
        for (const BugFacts& bug : Walk(filtered.Get()))
            got.insert(bug.id);
        std::set<LONG> expected;
        for (const BugFacts& bug : bugs)
            if ((bug.status == status && bug.severity == severity) || bug.status == otherStatus)
                expected.insert(bug.id);
        QVERIFY(!expected.empty());
        QVERIFY(expected.size() < bugs.size());
        QCOMPARE(got, expected);
    }
};

QTEST_MAIN(FilterSetsTest)
#include "FilterSetsTest.moc"
