// The filter list's operations and filter.ser: exact bytes, reading them back, damaged files.
// Expected files are assembled here byte by byte.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

#include "client/filters/FilterFile.h"
#include "client/filters/FilterList.h"
#include "tests/client_config/FilterTestSupport.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QByteArray Le16(quint16 value) {
    return QByteArray(1, static_cast<char>(value & 0xFF)) +
           QByteArray(1, static_cast<char>(value >> 8));
}

QByteArray Le32(quint32 value) {
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

QByteArray ShortText(const QByteArray& utf8) {
    return QByteArray(1, static_cast<char>(utf8.size())) + utf8;
}

constexpr double kSomeMorning = 38051.25; // 5 March 2004, 06:00

QByteArray DateBytes(double date) {
    QByteArray bytes(8, '\0');
    qToLittleEndian(date, bytes.data());
    return bytes;
}

// Two predefined sets, then the two saved ones the expected file holds.
void FillSample(FilterList& list) {
    list.Add(MakeSet(QStringLiteral("My Bugs")));
    list.Add(
        MakeSet(QStringLiteral("Fixed Bugs"), {{"StatusName", Equal, TextValue("Fixed"), LogOr}}));
    list.SetPredefinedCount(2);
    list.Add(MakeSet(QStringLiteral("Open crashes"),
                     {{"StatusName", NotEqual, TextValue(QStringLiteral("O'Brien für")), LogAnd},
                      {"ReportedDate", LargerEqual, DateValue(kSomeMorning), LogOr},
                      {"BugID", LargerThan, velmora::com::Variant(-100), LogAnd}}));
    list.Add(
        MakeSet(QStringLiteral("Odd values"),
                {{"BugType", Equal, ByteValue(1), LogOr},
                 {"Unknown", Like, NullValue(), static_cast<eLogOperation>(7)},
                 {"Description", static_cast<eLogCondition>(9), velmora::com::Variant(), LogOr}}));
}

QByteArray OpenCrashesBytes() {
    return ShortText("Open crashes") + Le32(3) + ShortText("StatusName") + Le32(2) + Le16(8) +
           ShortText("O'Brien f\xC3\xBCr") + Le32(1) + ShortText("ReportedDate") + Le32(4) +
           Le16(7) + DateBytes(kSomeMorning) + Le32(2) + ShortText("BugID") + Le32(3) + Le16(3) +
           Le32(static_cast<quint32>(-100)) + Le32(1);
}

QByteArray OddValuesBytes() {
    // A byte and a null are written with their own type numbers and no value; no value at all is
    // type 0.
    return ShortText("Odd values") + Le32(3) + ShortText("BugType") + Le32(1) + Le16(17) + Le32(2) +
           ShortText("Unknown") + Le32(8) + Le16(1) + Le32(7) + ShortText("Description") + Le32(9) +
           Le16(0) + Le32(2);
}

QByteArray SampleBytes() {
    return Le32(1) + Le32(2) + OpenCrashesBytes() + OddValuesBytes();
}

QStringList Names(const FilterList& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << Text(list.GetAt(i).Get(), &IBugFilterSet::get_Name);
    return names;
}

} // namespace

class FilterFileTest : public QObject {
    Q_OBJECT

  private:
    ClientTestEnvironment environment_;
    QTemporaryDir dir_;

    QString File(const QString& name = QStringLiteral("filter.ser")) const {
        return dir_.filePath(name);
    }

    void Write(const QByteArray& bytes) {
        QFile file(File());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray Read() {
        QFile file(File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // A list holding only the predefined "My Bugs", as before loading.
    static FilterList Predefined() {
        FilterList list;
        list.Add(MakeSet(QStringLiteral("My Bugs")));
        list.SetPredefinedCount(1);
        return list;
    }

  private slots:
    void init() { QFile::remove(File()); }

    // ---- the list ----

    void namesAreUniqueExactly() {
        FilterList list;
        QVERIFY(list.Add(MakeSet(QStringLiteral("My Bugs"))));
        QVERIFY(!list.Add(MakeSet(QStringLiteral("My Bugs"))));
        QVERIFY(list.Add(MakeSet(QStringLiteral("my bugs"))));
        QVERIFY(list.Add(MakeSet(QStringLiteral("My Bugs "))));
        QVERIFY(!list.Add(nullptr));
        QCOMPARE(Names(list), (QStringList{"My Bugs", "my bugs", "My Bugs "}));
        // A set renamed in place is found by its new name.
        Check(list.GetAt(1)->put_Name(ToBstr(QStringLiteral("Renamed")).Get()));
        QVERIFY(list.FindByName(QStringLiteral("Renamed")));
        QVERIFY(!list.FindByName(QStringLiteral("my bugs")));
        QVERIFY(list.Add(MakeSet(QStringLiteral("my bugs"))));
    }

    void lookupsAndRemovals() {
        FilterList list;
        for (const char* name : {"A", "B", "C", "D"})
            list.Add(MakeSet(QString::fromUtf8(name)));
        list.SetPredefinedCount(2);
        QVERIFY(!list.GetAt(-1));
        QVERIFY(!list.GetAt(4));
        QCOMPARE(list.FindByName("C").Get(), list.GetAt(2).Get());
        QVERIFY(!list.FindByName("c"));
        QVERIFY(!list.RemoveAt(4));
        QVERIFY(!list.RemoveAt(-1));
        QVERIFY(!list.RemoveByName("Z"));
        QVERIFY(list.RemoveByName("C"));
        QCOMPARE(Names(list), (QStringList{"A", "B", "D"}));
        QCOMPARE(list.PredefinedCount(), 2);
        // Removing a predefined entry keeps "D" a saved one.
        QVERIFY(list.RemoveAt(0));
        QCOMPARE(list.PredefinedCount(), 1);
        QVERIFY(SaveFilterFile(File(), list));
        FilterList loaded;
        QVERIFY(LoadFilterFile(File(), loaded));
        QCOMPARE(Names(loaded), QStringList{"D"});
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QCOMPARE(list.PredefinedCount(), 0);
    }

    void copyIsDeep() {
        FilterList source;
        FillSample(source);
        FilterList copy;
        copy.Add(MakeSet(QStringLiteral("replaced")));
        copy.Copy(source);
        QCOMPARE(Names(copy), Names(source));
        QCOMPARE(copy.PredefinedCount(), 2);
        for (int i = 0; i < source.Count(); ++i) {
            QVERIFY(copy.GetAt(i).Get() != source.GetAt(i).Get());
            QCOMPARE(Describe(copy.GetAt(i).Get()), Describe(source.GetAt(i).Get()));
        }
        // Changing the copy's conditions leaves the source alone.
        const auto copiedFilter = Item(copy.GetAt(2).Get(), &IBugFilterSet::get_Item, 0);
        Check(copiedFilter->put_Value(TextValue("changed")));
        Check(copy.GetAt(2)->Remove(1));
        QCOMPARE(Describe(source.GetAt(2).Get()).size(), 3);
        QVERIFY(Describe(source.GetAt(2).Get()).first().endsWith(QStringLiteral("O'Brien für")));
    }

    // ---- filter.ser ----

    void savesTheSavedSetsExactly() {
        FilterList list;
        FillSample(list);
        QVERIFY(SaveFilterFile(File(), list));
        QCOMPARE(Read(), SampleBytes());

        FilterList onlyPredefined = Predefined();
        QVERIFY(SaveFilterFile(File(), onlyPredefined));
        QCOMPARE(Read(), Le32(1) + Le32(0));
    }

    void readsEveryValueBackExactly() {
        Write(SampleBytes());
        FilterList list = Predefined();
        QVERIFY(LoadFilterFile(File(), list));
        QCOMPARE(Names(list), (QStringList{"My Bugs", "Open crashes", "Odd values"}));
        QCOMPARE(list.PredefinedCount(), 1);
        QCOMPARE(Describe(list.GetAt(1).Get()),
                 (QStringList{"1 StatusName 2 8:O'Brien für", "2 ReportedDate 4 7:38051.25",
                              "1 BugID 3 3:-100"}));
        // Types without a stored form come back without a value.
        QCOMPARE(Describe(list.GetAt(2).Get()),
                 (QStringList{"2 BugType 1 0:", "7 Unknown 8 0:", "2 Description 9 0:"}));
    }

    void datesSurviveToTheLastBit() {
        const double date = 45000.123456789012345;
        FilterList list = Predefined();
        list.Add(MakeSet(QStringLiteral("dated"), {{"FixedDate", Equal, DateValue(date), LogAnd}}));
        QVERIFY(SaveFilterFile(File(), list));
        FilterList loaded;
        QVERIFY(LoadFilterFile(File(), loaded));
        velmora::com::Variant value;
        Check(Item(loaded.GetAt(0).Get(), &IBugFilterSet::get_Item, 0)->get_Value(&value));
        QCOMPARE(value.vt, VT_DATE);
        QVERIFY(value.date == date);
    }

    void wrongVersionAddsNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("version 2") << Le32(2) + Le32(1) + OpenCrashesBytes();
        QTest::newRow("version 0") << Le32(0) + Le32(1) + OpenCrashesBytes();
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("version cut short") << QByteArray("\x01\x00", 2);
        QTest::newRow("negative count")
            << Le32(1) + Le32(static_cast<quint32>(-1)) + OpenCrashesBytes();
    }
    void wrongVersionAddsNothing() {
        QFETCH(QByteArray, bytes);
        Write(bytes);
        FilterList list = Predefined();
        QVERIFY(!LoadFilterFile(File(), list));
        QCOMPARE(Names(list), QStringList{"My Bugs"});
    }

    void missingFileIsSilent() {
        FilterList list = Predefined();
        QVERIFY(!LoadFilterFile(File(QStringLiteral("absent.ser")), list));
        QCOMPARE(list.Count(), 1);
    }

    void savedMyBugsStopsLoadingThere() {
        Write(Le32(1) + Le32(3) + ShortText("First") + Le32(0) + ShortText("My Bugs") + Le32(0) +
              ShortText("Third") + Le32(0));
        FilterList list = Predefined();
        QVERIFY(!LoadFilterFile(File(), list));
        QCOMPARE(Names(list), (QStringList{"My Bugs", "First"}));
    }

    void truncatedFileKeepsTheSetsBefore_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QStringList>("names");
        const int first = 8 + OpenCrashesBytes().size();
        QTest::newRow("inside the first set") << 30 << QStringList{"My Bugs"};
        QTest::newRow("first set complete") << first << QStringList{"My Bugs", "Open crashes"};
        QTest::newRow("inside the second name")
            << first + 3 << QStringList{"My Bugs", "Open crashes"};
        QTest::newRow("last byte missing")
            << SampleBytes().size() - 1 << QStringList{"My Bugs", "Open crashes"};
    }
    void truncatedFileKeepsTheSetsBefore() {
        QFETCH(int, cut);
        QFETCH(QStringList, names);
        Write(SampleBytes().left(cut));
        FilterList list = Predefined();
        QVERIFY(!LoadFilterFile(File(), list));
        QCOMPARE(Names(list), names);
    }

    void countBeyondTheFileStopsAtItsEnd() {
        Write(Le32(1) + Le32(0x7FFFFFFF) + OpenCrashesBytes() + ShortText("huge") +
              Le32(0x7FFFFFFF) + ShortText("StatusName") + Le32(1) + Le16(8) +
              QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\x7F"
                         "abc"));
        FilterList list;
        QVERIFY(!LoadFilterFile(File(), list));
        QCOMPARE(Names(list), QStringList{"Open crashes"});
    }

    void valueTheEngineRefusesRaises() {
        // A number where the engine takes only text.
        Write(Le32(1) + Le32(2) + OpenCrashesBytes() + ShortText("bad") + Le32(1) +
              ShortText("StatusName") + Le32(1) + Le16(3) + Le32(5) + Le32(1));
        FilterList list;
        bool raised = false;
        try {
            LoadFilterFile(File(), list);
        } catch (const EngineFailure& failure) {
            raised = true;
            QCOMPARE(failure.status, E_FAIL);
        }
        QVERIFY(raised);
        QCOMPARE(Names(list), QStringList{"Open crashes"});
    }

    void failedSaveKeepsTheOldFile() {
        Write(QByteArray("old"));
        FilterList list;
        FillSample(list);
        struct rlimit original {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &original), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = original;
        limited.rlim_cur = 40;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved = SaveFilterFile(File(), list);
        ::setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!saved);
        QCOMPARE(Read(), QByteArray("old"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"filter.ser"});

        QVERIFY(!SaveFilterFile(File(QStringLiteral("no/such/folder/filter.ser")), list));
    }
};

QTEST_GUILESS_MAIN(FilterFileTest)
#include "tst_FilterFile.moc"
