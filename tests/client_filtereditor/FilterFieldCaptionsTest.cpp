// The caption tables: what the filter editor shows and the names and numbers the engine's
// filters hold.
#include <QtTest>

#include <set>

#include "client/filtereditor/FilterFieldCaptions.h"

using namespace tarnwick;

class FilterFieldCaptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void offersEighteenFieldsSortedByCaption() {
        QStringList captions;
        std::set<QString> names;
        for (const FilterField& field : OfferedFilterFields()) {
            captions << QString::fromLatin1(field.caption);
            names.insert(QString::fromLatin1(field.name));
        }
        QCOMPARE(captions.size(), 18);
        QCOMPARE(names.size(), size_t(18));
        QStringList sorted = captions;
        sorted.sort();
        QCOMPARE(captions, sorted);
    }

    void fieldTranslations_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        const int text = int(FilterValueKind::Text);
        const int list = int(FilterValueKind::List);
        const int date = int(FilterValueKind::Date);
        const struct {
            const char* caption;
            const char* name;
            int kind;
        } rows[] = {
            {"Severity", "SeverityName", list},
            {"Status", "StatusName", list},
            {"Priority", "PriorityName", list},
            {"Reproductive", "ReproductiveName", list},
            {"Description", "Description", text},
            {"Report", "Report", text},
            {"Recreate Step", "RecreateStep", text},
            {"Workaround", "Workaround", text},
            {"Resolution", "Resolution", text},
            {"Reported By", "ReportedBy", list},
            {"Reported In Version", "ReportedInVersion", list},
            {"Reported Date", "ReportedDate", date},
            {"Fixed By", "FixedBy", list},
            {"Fixed In Version", "FixedInVersion", list},
            {"Fixed Date", "FixedDate", date},
            {"Verified By", "VerifiedBy", list},
            {"Verified Date", "VerifiedDate", date},
            {"Classification", "Classification", list},
        };
        for (const auto& row : rows)
            QTest::newRow(row.caption)
                << QString::fromLatin1(row.caption) << QString::fromLatin1(row.name) << row.kind;
    }
    void fieldTranslations() {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QFETCH(int, kind);
        const auto byCaption = OfferedFieldByCaption(caption);
        QVERIFY(byCaption);
        QCOMPARE(QString::fromLatin1(byCaption->name), name);
        QCOMPARE(int(byCaption->kind), kind);
        const auto byName = OfferedFieldByName(name);
        QVERIFY(byName);
        QCOMPARE(QString::fromLatin1(byName->caption), caption);
        QCOMPARE(FieldCaption(name), caption);
    }

    void knownColumnsNotOfferedStillHaveCaptions() {
        QCOMPARE(FieldCaption(QStringLiteral("LastModifiedBy")),
                 QStringLiteral("Last Modified By"));
        QCOMPARE(FieldCaption(QStringLiteral("EstimatedTime")), QStringLiteral("Estimated Time"));
        QCOMPARE(FieldCaption(QStringLiteral("LastModifiedDate")),
                 QStringLiteral("Last Modified Date"));
        QVERIFY(!OfferedFieldByName(QStringLiteral("LastModifiedBy")));
        QVERIFY(!OfferedFieldByCaption(QStringLiteral("Estimated Time")));
    }

    void namesWithoutCaptionShowEmpty() {
        QCOMPARE(FieldCaption(QStringLiteral("BugID")), QString());
        QCOMPARE(FieldCaption(QString()), QString());
        // Column names are matched exactly: the engine's case-blind lookup is its own business.
        QCOMPARE(FieldCaption(QStringLiteral("statusname")), QString());
        QVERIFY(!OfferedFieldByCaption(QStringLiteral("status")));
    }

    void comparisonCaptions() {
        const struct {
            const char* caption;
            eLogCondition condition;
        } rows[] = {{"Equal", Equal},
                    {"Not Equal", NotEqual},
                    {"Larger Than", LargerThan},
                    {"Larger Equal", LargerEqual},
                    {"Less Than", LessThan},
                    {"Less Equal", LessEqual},
                    {"Include", Like}};
        for (const auto& row : rows) {
            QCOMPARE(ConditionCaption(row.condition), QString::fromLatin1(row.caption));
            QCOMPARE(ConditionFromCaption(QString::fromLatin1(row.caption)), row.condition);
            QCOMPARE(int(row.condition),
                     int(*ConditionFromCaption(QString::fromLatin1(row.caption))));
        }
        QCOMPARE(int(Like), 8);
        QCOMPARE(ConditionCaption(Not), QString());
        QCOMPARE(ConditionCaption(static_cast<eLogCondition>(0)), QString());
        QCOMPARE(ConditionCaption(static_cast<eLogCondition>(9)), QString());
        QVERIFY(!ConditionFromCaption(QStringLiteral("Not")));
        QVERIFY(!ConditionFromCaption(QString()));
    }

    void comparisonsOfferedPerKind() {
        QCOMPARE(ConditionCaptions(FilterValueKind::Text),
                 (QStringList{"Equal", "Not Equal", "Include"}));
        QCOMPARE(ConditionCaptions(FilterValueKind::List), (QStringList{"Equal", "Not Equal"}));
        QCOMPARE(ConditionCaptions(FilterValueKind::Date),
                 (QStringList{"Equal", "Not Equal", "Larger Than", "Larger Equal", "Less Than",
                              "Less Equal"}));
    }

    void andOrCaptions() {
        QCOMPARE(AndOrCaptions(), (QStringList{"And", "Or"}));
        QCOMPARE(AndOrCaption(LogAnd), QStringLiteral("And"));
        QCOMPARE(AndOrCaption(LogOr), QStringLiteral("Or"));
        QCOMPARE(AndOrCaption(static_cast<eLogOperation>(0)), QString());
        QCOMPARE(int(*AndOrFromCaption(QStringLiteral("And"))), 1);
        QCOMPARE(int(*AndOrFromCaption(QStringLiteral("Or"))), 2);
        QVERIFY(!AndOrFromCaption(QStringLiteral("and")));
    }
};

QTEST_APPLESS_MAIN(FilterFieldCaptionsTest)
#include "FilterFieldCaptionsTest.moc"
