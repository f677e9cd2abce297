// The picker that holds either a date and time or no date at all.
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>
#include <ctime>
#include <limits>

#include "client/config/OleDate.h"
#include "client/widgets/NullableDateTimeEdit.h"

using namespace tarnwick;

namespace {

bool SameDate(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

void ClickIndicator(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

QDateTime MinuteOf(const QDateTime& value) {
    return QDateTime(value.date(), QTime(value.time().hour(), value.time().minute()));
}

} // namespace

class NullableDateTimeEditTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        picker_ = std::make_unique<NullableDateTimeEdit>();
        picker_->show();
        QVERIFY(QTest::qWaitForWindowExposed(picker_.get()));
    }
    void cleanup() { picker_.reset(); }

    void valuesRoundTrip_data() {
        QTest::addColumn<double>("ole");
        QTest::newRow("a day") << 38051.0;
        QTest::newRow("with seconds and milliseconds")
            << OleDateFromDateTime(QDateTime(QDate(2023, 3, 15), QTime(6, 15, 42, 317)));
        QTest::newRow("the day before day zero, 06:00") << -1.25;
        QTest::newRow("1 January 100") << -657434.0;
        QTest::newRow("last millisecond of 9999")
            << OleDateFromDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)));
        QTest::newRow("the minute after day zero") << 1.0 / 1440.0;
    }
    void valuesRoundTrip() {
        QFETCH(double, ole);
        picker_->setValue(ole);
        QVERIFY(picker_->hasDate());
        QVERIFY(picker_->checkBox()->isChecked());
        QVERIFY(picker_->dateTimeEdit()->isEnabled());
        QVERIFY2(SameDate(picker_->value(), ole),
                 qPrintable(QString::number(picker_->value(), 'g', 17)));
        // A format that hides the seconds must not drop them from the value.
        picker_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        QVERIFY2(SameDate(picker_->value(), ole),
                 qPrintable(QString::number(picker_->value(), 'g', 17)));
        picker_->setValue(ole);
        QVERIFY2(SameDate(picker_->value(), ole),
                 qPrintable(QString::number(picker_->value(), 'g', 17)));
    }

    void unusableValuesMeanNoDate_data() {
        QTest::addColumn<double>("ole");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative zero") << -0.0;
        QTest::newRow("rounds to zero") << 1e-12;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinity") << -std::numeric_limits<double>::infinity();
        QTest::newRow("before year 100") << -657435.0;
        QTest::newRow("after 9999") << 2958466.0;
    }
    void unusableValuesMeanNoDate() {
        QFETCH(double, ole);
        picker_->setValue(38051.5);
        QSignalSpy changes(picker_.get(), &NullableDateTimeEdit::valueChanged);
        picker_->setValue(ole);
        QVERIFY(!picker_->hasDate());
        QCOMPARE(picker_->value(), kNoDate);
        QVERIFY(!picker_->dateTimeEdit()->isEnabled());
        QVERIFY(picker_->dateTimeEdit()->text().trimmed().isEmpty());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toDouble(), kNoDate);
    }

    void tickingAnEmptyPickerGivesNowAndUntickingClears() {
        QSignalSpy changes(picker_.get(), &NullableDateTimeEdit::valueChanged);
        const QDateTime before = MinuteOf(QDateTime::currentDateTime());
        ClickIndicator(picker_->checkBox());
        const QDateTime after = QDateTime::currentDateTime();
        QVERIFY(picker_->hasDate());
        // The value is a wall-clock time: compare it with the wall clock.
        const auto wallClock = [](const QDateTime& t) {
            return QDateTime(t.date(), t.time(), Qt::UTC);
        };
        const QDateTime shown = DateTimeFromOleDate(picker_->value());
        QVERIFY(shown >= wallClock(before) && shown <= wallClock(after));
        QCOMPARE(shown.time().second(), 0);
        QCOMPARE(shown.time().msec(), 0);
        QCOMPARE(changes.size(), 1);

        picker_->checkBox()->setFocus();
        QTest::keyClick(picker_->checkBox(), Qt::Key_Space);
        QVERIFY(!picker_->hasDate());
        QCOMPARE(picker_->value(), kNoDate);
        QVERIFY(!picker_->dateTimeEdit()->isEnabled());
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(1).at(0).toDouble(), kNoDate);
    }

    void signalsOnlyForChanges() {
        QSignalSpy changes(picker_.get(), &NullableDateTimeEdit::valueChanged);
        picker_->setValue(kNoDate);
        QCOMPARE(changes.size(), 0);
        picker_->setValue(38051.5);
        picker_->setValue(38051.5);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toDouble(), 38051.5);

        // One step of the edit is one change, reported with the new value.
        picker_->dateTimeEdit()->setFocus();
        QTest::keyClick(picker_->dateTimeEdit(), Qt::Key_Up);
        QCOMPARE(changes.size(), 2);
        QVERIFY(picker_->value() != 38051.5);
        QCOMPARE(changes.at(1).at(0).toDouble(), picker_->value());
    }

    void editingKeepsWhatTheFormatHides() {
        const QDateTime original(QDate(2004, 3, 5), QTime(14, 25, 42, 317));
        picker_->setValue(OleDateFromDateTime(original));
        picker_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        picker_->dateTimeEdit()->setFocus();
        QTest::keyClick(picker_->dateTimeEdit(), Qt::Key_Up);
        const QDateTime edited = DateTimeFromOleDate(picker_->value());
        QVERIFY(edited.date() != original.date());
        QCOMPARE(edited.time(), original.time());
    }

    void readOnlyTakesNoInput() {
        picker_->setValue(38051.5);
        picker_->setReadOnly(true);
        QSignalSpy changes(picker_.get(), &NullableDateTimeEdit::valueChanged);

        ClickIndicator(picker_->checkBox());
        picker_->checkBox()->setFocus();
        QTest::keyClick(picker_->checkBox(), Qt::Key_Space);
        picker_->dateTimeEdit()->setFocus();
        QTest::keyClick(picker_->dateTimeEdit(), Qt::Key_Up);
        QTest::keyClicks(picker_->dateTimeEdit(), QStringLiteral("1999"));
        QCOMPARE(picker_->value(), 38051.5);

        // An empty read-only picker cannot be ticked either.
        picker_->setReadOnly(false);
        picker_->setValue(kNoDate);
        picker_->setReadOnly(true);
        ClickIndicator(picker_->checkBox());
        QVERIFY(!picker_->hasDate());
        QCOMPARE(changes.size(), 1); // only the programmatic clearing

        picker_->setReadOnly(false);
        ClickIndicator(picker_->checkBox());
        QVERIFY(picker_->hasDate());
    }

    void accessibleNamesFollowTheCaption() {
        picker_->setAccessibleName(QStringLiteral("Fixed Date"));
        QCOMPARE(picker_->accessibleName(), QStringLiteral("Fixed Date"));
        QCOMPARE(picker_->checkBox()->accessibleName(), QStringLiteral("Fixed Date set"));
        QCOMPARE(picker_->dateTimeEdit()->accessibleName(), QStringLiteral("Fixed Date"));
    }

    // A wall-clock time that local time skips (daylight saving) is still held as given.
    void timesInADaylightSavingGapSurvive() {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        const QDateTime gap(QDate(2021, 3, 28), QTime(2, 30));
        if (gap.isValid() && gap.time() == QTime(2, 30)) QSKIP("no daylight-saving gap here");
        const DATE ole = OleDateFromDateTime(QDateTime(QDate(2021, 3, 28), QTime(2, 30), Qt::UTC));
        picker_->setValue(ole);
        QVERIFY2(SameDate(picker_->value(), ole),
                 qPrintable(picker_->dateTimeEdit()->dateTime().toString(Qt::ISODateWithMs)));
    }

  private:
    std::unique_ptr<NullableDateTimeEdit> picker_;
};

QTEST_MAIN(NullableDateTimeEditTest)
#include "NullableDateTimeEditTest.moc"
