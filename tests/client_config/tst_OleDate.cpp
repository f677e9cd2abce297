// Automation dates and Qt dates.
#include <QtTest>

#include <cmath>
#include <ctime>
#include <limits>

#include "client/config/OleDate.h"

using namespace tarnwick;

class OleDateTest : public QObject {
    Q_OBJECT

  private slots:
    void knownDates_data() {
        QTest::addColumn<double>("ole");
        QTest::addColumn<QDateTime>("local");
        const auto at = [](int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0) {
            return QDateTime(QDate(y, m, d), QTime(h, min, s, ms), Qt::UTC);
        };
        QTest::newRow("day zero") << 0.0 << at(1899, 12, 30);
        QTest::newRow("5 March 2004") << 38051.0 << at(2004, 3, 5);
        QTest::newRow("noon") << 38051.5 << at(2004, 3, 5, 12);
        QTest::newRow("a quarter past six") << 45000.2604166666667 << at(2023, 3, 15, 6, 15);
        QTest::newRow("before day zero, time counts forward") << -1.25 << at(1899, 12, 29, 6);
        QTest::newRow("1 January 1900") << 2.0 << at(1900, 1, 1);
        QTest::newRow("last millisecond of a day")
            << 38051.0 + 86399999.0 / 86400000.0 << at(2004, 3, 5, 23, 59, 59, 999);
    }
    void knownDates() {
        QFETCH(double, ole);
        QFETCH(QDateTime, local);
        QCOMPARE(DateTimeFromOleDate(ole), local);
        QVERIFY(std::fabs(OleDateFromDateTime(local) - ole) < 1e-9);
        QCOMPARE(DateFromOleDate(ole), local.date());
    }

    void aTimeInADaylightSavingGapIsStillADate() {
        // 28 March 2021, 02:30 does not exist on Berlin's clocks; it is still a stored date.
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const QDateTime moment = DateTimeFromOleDate(OleDateFromDate(QDate(2021, 3, 28)) + 2.5 / 24);
        qputenv("TZ", zone);
        tzset();
        QVERIFY(moment.isValid());
        QCOMPARE(moment.time(), QTime(2, 30));
    }

    void dateAloneIsMidnight() {
        QCOMPARE(OleDateFromDate(QDate(2004, 3, 5)), 38051.0);
        QCOMPARE(OleDateFromDate(QDate(1899, 12, 29)), -1.0);
        QCOMPARE(OleDateFromDate(QDate()), kNoDate);
    }

    void roundingUpReachesTheNextDay() {
        QCOMPARE(DateTimeFromOleDate(38051.9999999999), QDateTime(QDate(2004, 3, 6), QTime(0, 0), Qt::UTC));
        QCOMPARE(DateTimeFromOleDate(-1.9999999999), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    }

    void unusableValuesGiveNoDate_data() {
        QTest::addColumn<double>("ole");
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
        QTest::newRow("after 9999") << 2958466.0;
        QTest::newRow("before year 100") << -657435.0;
        QTest::newRow("huge") << 1e300;
    }
    void unusableValuesGiveNoDate() {
        QFETCH(double, ole);
        QVERIFY(!DateTimeFromOleDate(ole).isValid());
        QVERIFY(!DateFromOleDate(ole).isValid());
    }
};

QTEST_GUILESS_MAIN(OleDateTest)
#include "tst_OleDate.moc"
