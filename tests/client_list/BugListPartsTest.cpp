// The list's parts that need no engine: date texts, status images and the quick search field.
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "client/list/DateText.h"
#include "client/list/QuickSearchBox.h"
#include "client/list/QuickSearchFilter.h"
#include "client/list/StatusImages.h"

using namespace tarnwick;

namespace {

DATE Ole(QDate day) {
    return static_cast<DATE>(QDate(1899, 12, 30).daysTo(day));
}

} // namespace

class BugListPartsTest : public QObject {
    Q_OBJECT

  private slots:
    void datesFollowTheStoredFormat();
    void datesBeforeTheEpochAndOutOfRange();
    void statusImagesAreDistinctAndIndexedByExactText();
    void searchBoxWaitsForAPauseAndClearsOnEscape();
    void searchPatternIsCleaned();
};

void BugListPartsTest::datesFollowTheStoredFormat() {
    const DATE day = Ole(QDate(2004, 1, 21));
    QCOMPARE(DateText(day, QStringLiteral("%d,%b,%Y")), QStringLiteral("21,Jan,2004"));
    QCOMPARE(DateText(day, QStringLiteral("%d,%m,%Y")), QStringLiteral("21,01,2004"));
    QCOMPARE(DateText(day, QStringLiteral("%d,%B,%y")), QStringLiteral("21,January,04"));
    QCOMPARE(DateText(day, QStringLiteral("%A - %a")), QStringLiteral("Wednesday - Wed"));
    QCOMPARE(DateText(day + 0.75 + 30.0 / 86400, QStringLiteral("%H:%M:%S %I%p")),
             QStringLiteral("18:00:30 06PM"));
    QCOMPARE(DateText(day, QStringLiteral("100%% %q %")), QStringLiteral("100% %q %"));
    QCOMPARE(DateText(0.0, QStringLiteral("%Y")), QString());
    QCOMPARE(DateText(0.0, QString()), QString());
    QCOMPARE(DateText(day + 0.5, QString()),
             QLocale().toString(QDate(2004, 1, 21), QLocale::ShortFormat));
    // A time is kept to the millisecond: a hundredth of a second before midnight is still the day.
    QCOMPARE(DateText(day + 0.9999999, QStringLiteral("%d %H")), QStringLiteral("21 23"));
}

void BugListPartsTest::datesBeforeTheEpochAndOutOfRange() {
    // -1.25 is 29 December 1899, 06:00: the fraction counts forward from the day.
    QCOMPARE(DateText(-1.25, QStringLiteral("%Y-%m-%d %H:%M")), QStringLiteral("1899-12-29 06:00"));
    QCOMPARE(DateText(-0.5, QStringLiteral("%Y-%m-%d %H")), QStringLiteral("1899-12-30 12"));
    QCOMPARE(DateText(1e12, QStringLiteral("%Y")), QString());
    QCOMPARE(DateText(std::numeric_limits<double>::quiet_NaN(), QStringLiteral("%Y")), QString());
    QCOMPARE(DateText(-657434.0, QStringLiteral("%Y-%m-%d")), QStringLiteral("100-01-01"));
}

void BugListPartsTest::statusImagesAreDistinctAndIndexedByExactText() {
    const QStringList statuses = {"Active",       "By Design", "Cannot Reproduce", "Fixed",
                                  "In Process",   "New",       "Postponed",        "Verified",
                                  "Will Not Fix", "Waiting"};
    for (int i = 0; i < statuses.size(); ++i)
        QCOMPARE(StatusImageIndex(statuses[i]), i);
    QCOMPARE(StatusImageIndex(QStringLiteral("fixed")), 0);
    QCOMPARE(StatusImageIndex(QStringLiteral("Fixed ")), 0);
    QCOMPARE(StatusImageIndex(QString()), 0);
    for (int i = 0; i < kStatusImageCount; ++i) {
        QCOMPARE(StatusImage(i).size(), QSize(16, 16));
        QCOMPARE(qAlpha(StatusImage(i).pixel(0, 0)), 0); // corners are transparent
        for (int j = 0; j < i; ++j)
            QVERIFY2(StatusImage(i) != StatusImage(j), qPrintable(statuses[i]));
    }
    QCOMPARE(StatusImage(99), StatusImage(0));
    const QImage strip = StatusImageStrip();
    QCOMPARE(strip.size(), QSize(160, 16));
    QCOMPARE(strip.copy(48, 0, 16, 16), StatusImage(3));
}

void BugListPartsTest::searchBoxWaitsForAPauseAndClearsOnEscape() {
    QuickSearchBox box;
    QCOMPARE(box.accessibleName(), QStringLiteral("Quick search"));
    QVERIFY(!box.placeholderText().isEmpty());
    QSignalSpy searches(&box, &QuickSearchBox::searchChanged);
    QTest::keyClicks(&box, QStringLiteral("crash"));
    QCOMPARE(searches.size(), 0); // still typing
    QVERIFY(searches.wait(1000));
    QCOMPARE(searches.size(), 1);
    QCOMPARE(searches.last().at(0).toString(), QStringLiteral("crash"));

    QTest::keyClick(&box, Qt::Key_Escape);
    QCOMPARE(box.text(), QString());
    QCOMPARE(searches.size(), 2);
    QCOMPARE(searches.last().at(0).toString(), QString());
    QTest::qWait(QuickSearchBox::kTypingPauseMs * 2);
    QCOMPARE(searches.size(), 2); // the same text is not searched twice

    QTest::keyClicks(&box, QStringLiteral("42"));
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(searches.size(), 3);
    QCOMPARE(QuickSearchBox::CountText(3, 120), QStringLiteral("3 of 120 bugs"));
}

void BugListPartsTest::searchPatternIsCleaned() {
    QCOMPARE(QuickSearchPattern(QStringLiteral("  50% done \t")), QStringLiteral("50_ done"));
    QCOMPARE(QuickSearchPattern(QStringLiteral("a\nb") + QChar(0)), QStringLiteral("ab"));
    QCOMPARE(QuickSearchPattern(QStringLiteral("   ")), QString());
    QCOMPARE(QuickSearchPattern(QStringLiteral("O'Brien")), QStringLiteral("O'Brien"));
}

QTEST_MAIN(BugListPartsTest)
#include "BugListPartsTest.moc"
