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

    // Every offered caption and name translates both ways, and only the date columns take
    // dates.
    void offeredFieldsTranslateBothWays() {
        for (const FilterField& field : OfferedFilterFields()) {
            const QString caption = QString::fromLatin1(field.caption);
            const QString name = QString::fromLatin1(field.name);
            QCOMPARE(FieldCaption(name), caption);
            QCOMPARE(QString::fromLatin1(OfferedFieldByCaption(caption)->name), name);
            QCOMPARE(name.endsWith(QLatin1String("Date")), field.kind == FilterValueKind::Date);
        }
        const auto version = OfferedFieldByCaption(QStringLiteral("Reported In Version"));
        QCOMPARE(QString::fromLatin1(version->name), QStringLiteral("ReportedInVersion"));
        QCOMPARE(version->kind, FilterValueKind::List);
        QCOMPARE(QString::fromLatin1(OfferedFieldByCaption(QStringLiteral("Reproductive"))->name),
                 QStringLiteral("ReproductiveName"));
        QCOMPARE(OfferedFieldByCaption(QStringLiteral("Recreate Step"))->kind,
                 FilterValueKind::Text);
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
        QCOMPARE(ConditionCaption(Equal), QStringLiteral("Equal"));
        QCOMPARE(ConditionCaption(LessEqual), QStringLiteral("Less Equal"));
        QCOMPARE(ConditionCaption(Like), QStringLiteral("Include"));
        QCOMPARE(*ConditionFromCaption(QStringLiteral("Larger Than")), LargerThan);
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
