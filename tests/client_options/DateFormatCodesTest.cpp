// The two forms of the date format: what the user types and what Bug.cfg stores.
#include <QRandomGenerator>
#include <QtTest>

#include <iterator>

#include "client/options/DateFormatCodes.h"
#include "client/options/OptionsTexts.h"

using namespace tarnwick;

namespace {

// The plain translation: each code replaced everywhere, one code after the other. The one-pass
// translation must give the same result wherever this one is right.
const QList<QPair<QString, QString>> kCodeOrder = {
    {"yyyy", "%Y"}, {"yy", "%y"}, {"mm", "%B"}, {"m", "%b"},
    {"M", "%m"},    {"dd", "%d"}, {"ww", "%A"}, {"w", "%a"},
};

QString SequentialToStored(QString text) {
    for (const auto& [user, stored] : kCodeOrder)
        text.replace(user, stored);
    return text;
}

QString SequentialToUser(QString text) {
    for (const auto& [user, stored] : kCodeOrder)
        text.replace(stored, user);
    return text;
}

} // namespace

class DateFormatCodesTest : public QObject {
    Q_OBJECT
  private slots:
    void translatesBothWays_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("stored");
        QTest::newRow("abbreviated month") << "dd,m,yyyy"
                                           << "%d,%b,%Y";
        QTest::newRow("month number") << "dd,M,yyyy"
                                      << "%d,%m,%Y";
        QTest::newRow("full month before abbreviated") << "dd,mm,yyyy"
                                                       << "%d,%B,%Y";
        QTest::newRow("month first") << "m,dd,yyyy"
                                     << "%b,%d,%Y";
        QTest::newRow("no year") << "m,dd"
                                 << "%b,%d";
        QTest::newRow("number, no year") << "M,dd"
                                         << "%m,%d";
        QTest::newRow("full weekday") << "ww - dd,M,yyyy"
                                      << "%A - %d,%m,%Y";
        QTest::newRow("abbreviated weekday") << "w - dd,M,yyyy"
                                             << "%a - %d,%m,%Y";
        QTest::newRow("short year") << "dd.M.yy"
                                    << "%d.%m.%y";
        QTest::newRow("every code") << "yyyy yy mm m M dd ww w"
                                    << "%Y %y %B %b %m %d %A %a";
        QTest::newRow("empty: the locale's short date") << ""
                                                        << "";
        QTest::newRow("no codes") << "Date: ,.-/"
                                  << "Date: ,.-/";
    }
    void translatesBothWays() {
        QFETCH(QString, user);
        QFETCH(QString, stored);
        QCOMPARE(DateFormatCodes::ToStored(user), stored);
        QCOMPARE(DateFormatCodes::ToUser(stored), user);
    }

    // Longer runs of a code letter: the longest code first, the rest after it.
    void longerRunsTakeTheLongestCodeFirst() {
        QCOMPARE(DateFormatCodes::ToStored("mmm"), QString("%B%b"));
        QCOMPARE(DateFormatCodes::ToStored("yyy"), QString("%yy"));
        QCOMPARE(DateFormatCodes::ToStored("yyyyy"), QString("%Yy"));
        QCOMPARE(DateFormatCodes::ToStored("www"), QString("%A%a"));
        QCOMPARE(DateFormatCodes::ToStored("ddd"), QString("%dd"));
        QCOMPARE(DateFormatCodes::ToStored("MM"), QString("%m%m"));
        QCOMPARE(DateFormatCodes::ToStored("d"), QString("d"));
    }

    // Every item of the Format menu, and many strings of code letters, translate exactly as the
    // code-by-code replacement does, in both directions.
    void agreesWithTheCodeByCodeReplacementWhereThatIsRight() {
        for (const auto& item : options_texts::kFormatMenu) {
            const QString user = QString::fromLatin1(item.code);
            QCOMPARE(DateFormatCodes::ToStored(user), SequentialToStored(user));
            const QString stored = DateFormatCodes::ToStored(user);
            QCOMPARE(DateFormatCodes::ToUser(stored), SequentialToUser(stored));
            QCOMPARE(DateFormatCodes::ToUser(stored), user);
        }
        const QString letters = QStringLiteral("ymMdwaAbB ,.-:");
        QRandomGenerator random(20040121);
        for (int round = 0; round < 2000; ++round) {
            QString user;
            const int length = random.bounded(1, 12);
            for (int i = 0; i < length; ++i)
                user += letters.at(random.bounded(static_cast<int>(letters.size())));
            const QString stored = DateFormatCodes::ToStored(user);
            QCOMPARE(stored, SequentialToStored(user));
            QCOMPARE(DateFormatCodes::ToUser(stored), SequentialToUser(stored));
        }
    }

    // A stored format may hold %-codes that have no user code (written by hand or by another
    // tool). Opening Options and pressing OK must store them as they were; the code-by-code
    // replacement turned the minutes "%M" into "%%m" (a percent sign and an "m") and the weekday
    // number "%w" into "%%a".
    void storedCodesWithoutUserCodeSurviveARoundTrip_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("minutes") << "%d %b %Y %H:%M"
                                 << "dd m yyyy %H:%M";
        QTest::newRow("weekday number") << "%w/%d"
                                        << "%w/dd";
        QTest::newRow("day without zero, day of year") << "%e %j"
                                                       << "%e %j";
        QTest::newRow("percent sign before a code letter") << "%%Y %d"
                                                           << "%%Y dd";
        QTest::newRow("percent sign at the end") << "%d%"
                                                 << "dd%";
        QTest::newRow("percent sign alone") << "%"
                                            << "%";
    }
    void storedCodesWithoutUserCodeSurviveARoundTrip() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(DateFormatCodes::ToUser(stored), shown);
        QCOMPARE(DateFormatCodes::ToStored(shown), stored);
    }
    // A %-code typed by the user is taken as it stands; its letter is not read as a user code.
    void typedStoredCodesPassUnchanged() {
        QCOMPARE(DateFormatCodes::ToStored("%H:%M, dd"), QString("%H:%M, %d"));
        QCOMPARE(DateFormatCodes::ToStored("%m"), QString("%m"));
        QCOMPARE(DateFormatCodes::ToStored("100% w"), QString("100% %a"));
    }
};

QTEST_APPLESS_MAIN(DateFormatCodesTest)
#include "DateFormatCodesTest.moc"
