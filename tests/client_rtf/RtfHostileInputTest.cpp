// Damaged and hostile documents: every one is read to its end quickly, without a crash and with
// a model no bigger than a small multiple of the text.
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "RtfTestSupport.h"
#include "client/rtf/RtfParser.h"

using tarnwick::ReadRtf;
using tarnwick::RtfPlainText;
namespace rtf = tarnwick::rtf;

namespace {

// The model's size in characters and parts, to compare with the text it came from.
struct ModelSize {
    size_t paragraphs = 0;
    size_t runs = 0;
    size_t characters = 0;
};

ModelSize SizeOf(const rtf::Document& document) {
    ModelSize size;
    size.paragraphs = document.paragraphs.size();
    for (const rtf::Paragraph& paragraph : document.paragraphs) {
        size.runs += paragraph.runs.size();
        size.characters += paragraph.markerText.size();
        for (const rtf::Run& run : paragraph.runs)
            size.characters += run.text.size();
    }
    for (const rtf::Font& font : document.fonts)
        size.characters += font.family.size();
    return size;
}

// The peak resident memory of this process in megabytes (Linux).
long PeakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    return 0;
}

} // namespace

class RtfHostileInputTest : public QObject {
    Q_OBJECT

    // Parses `text` and checks the model is in proportion to it. The time limit catches a
    // parser that hangs or goes quadratic, not a slow machine: reading speed is the benchmark's
    // business, and these tests also run under the sanitizers on a loaded machine.
    static rtf::Document ParseBounded(const QString& text) {
        constexpr qint64 milliseconds = 60000;
        QElapsedTimer timer;
        timer.start();
        rtf::Document document = rtf::Parse(text.toStdU16String());
        const qint64 elapsed = timer.elapsed();
        if (elapsed > milliseconds)
            qWarning("parsing %lld characters took %lld ms", qlonglong(text.size()), elapsed);
        [&] { QVERIFY(elapsed <= milliseconds); }();
        const ModelSize size = SizeOf(document);
        const size_t input = static_cast<size_t>(text.size());
        [&] {
            QVERIFY(size.characters <= input);
            QVERIFY(size.runs <= input / 2 + 1);
            QVERIFY(size.paragraphs <= std::min(input / 2 + 1, rtf::kMaxParagraphs));
        }();
        return document;
    }

  private slots:
    void deepNestingIsSkippedNotRecursed() {
        const int depth = 100'000;
        const QString text = QStringLiteral("{\\rtf1 a") + QString(depth, u'{') +
                             QStringLiteral("\\b hidden") + QString(depth, u'}') +
                             QStringLiteral(" c}");
        ParseBounded(text);
        QCOMPARE(RtfPlainText(text), QStringLiteral("a c"));
        // Up to the limit groups still show their text, formatted.
        const int allowed = rtf::kMaxGroupDepth - 1;
        const QString shallow = QStringLiteral("{\\rtf1 a") + QString(allowed, u'{') +
                                QStringLiteral("\\b b") + QString(allowed, u'}') +
                                QStringLiteral("c}");
        QTextDocument document;
        ReadRtf(shallow, document);
        QCOMPARE(document.toPlainText(), QStringLiteral("abc"));
        QCOMPARE(tarnwick::test::FormatOf(document, "b").fontWeight(), int(QFont::Bold));
        QCOMPARE(tarnwick::test::FormatOf(document, "c").fontWeight(), int(QFont::Normal));
        // Unclosed deep groups at the end.
        ParseBounded(QStringLiteral("{\\rtf1 a") + QString(depth, u'{'));
    }

    void hugeNumbersAreClamped() {
        const QString huge = QStringLiteral("99999999999999999999999999999999");
        const QString text =
            QStringLiteral("{\\rtf1{\\fonttbl{\\f%1 Big;}}{\\colortbl;\\red%1\\green-%1\\blue%1;}"
                           "\\fs%1 a\\fs-%1 b\\f%1\\cf1 c\\li%1\\ri-%1\\fi%1\\uc%1\\u%1 "
                           "0123456789ABCDEF\\uc0\\u-%1 xyz\\ilvl%1\\ls%1\\pnlvl%1\\bin%1 x}")
                .arg(huge);
        const rtf::Document document = ParseBounded(text);
        QCOMPARE(document.paragraphs.size(), size_t(1));
        const rtf::Paragraph& paragraph = document.paragraphs[0];
        QCOMPARE(paragraph.leftIndent, rtf::kMaxIndentTwips);
        QCOMPARE(paragraph.rightIndent, -rtf::kMaxIndentTwips);
        QCOMPARE(paragraph.runs.front().format.halfPoints, rtf::kMaxHalfPoints);
        QCOMPARE(paragraph.runs[1].format.halfPoints, 24); // not a size: the default
        QCOMPARE(paragraph.runs.back().format.rgb, 0xFF00FFu);
        QTextDocument qt;
        ReadRtf(text, qt);
        QCOMPARE(tarnwick::test::FormatOf(qt, "a").fontPointSize(), 500.0);
        // \uc is bounded at 16: \u of a huge number is U+FFFF, then 16 characters go.
        QCOMPARE(qt.toPlainText(), QStringLiteral("abc\uffff\u8000xyz"));
    }

    void truncatedAndDamagedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plain");
        QTest::newRow("hex cut") << QStringLiteral("{\\rtf1 a\\'") << QStringLiteral("a");
        QTest::newRow("hex half") << QStringLiteral("{\\rtf1 a\\'4") << QStringLiteral("a");
        QTest::newRow("hex not hex")
            << QStringLiteral("{\\rtf1 a\\'zzb}") << QStringLiteral("azzb");
        QTest::newRow("unicode cut") << QStringLiteral("{\\rtf1 a\\u") << QStringLiteral("a");
        QTest::newRow("unicode minus cut")
            << QStringLiteral("{\\rtf1 a\\u-") << QStringLiteral("a-");
        QTest::newRow("unicode at end")
            << QStringLiteral("{\\rtf1 a\\u233") << QStringLiteral("a\u00e9");
        QTest::newRow("backslash at end") << QStringLiteral("{\\rtf1 a\\") << QStringLiteral("a");
        QTest::newRow("no closing brace")
            << QStringLiteral("{\\rtf1 a{\\b b") << QStringLiteral("ab");
        QTest::newRow("extra closing braces")
            << QStringLiteral("{\\rtf1 a}}} b}") << QStringLiteral("a");
        QTest::newRow("closing first") << QStringLiteral("{\\rtf1 a}}}{{{") << QStringLiteral("a");
        QTest::newRow("nul bytes") << QStringLiteral("{\\rtf1 a") + QChar(0) +
                                          QStringLiteral("b\\") + QChar(0) + QStringLiteral("c}")
                                   << QStringLiteral("abc");
        QTest::newRow("cut in font table")
            << QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Ari") << QString();
        QTest::newRow("cut in picture")
            << QStringLiteral("{\\rtf1 a{\\pict 0a0b") << QStringLiteral("a");
        QTest::newRow("bin past the end")
            << QStringLiteral("{\\rtf1 a\\bin100 xy") << QStringLiteral("a");
        QTest::newRow("long word")
            << QStringLiteral("{\\rtf1 a\\") + QString(100, u'b') + QStringLiteral(" c}")
            << QStringLiteral("ac");
        QTest::newRow("surrogates")
            << QStringLiteral("{\\rtf1 \\u-9216?\\u-10240?}") << QStringLiteral("\ufffd\ufffd");
    }
    void truncatedAndDamagedText() {
        QFETCH(QString, text);
        QFETCH(QString, plain);
        ParseBounded(text);
        QCOMPARE(RtfPlainText(text), plain);
        QTextDocument document;
        ReadRtf(text, document);
        QCOMPARE(document.toPlainText(), plain);
    }

    void tenMegabytesInOneGroupReadQuickly() {
        QString text =
            QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2"
                           "\\blue3;}{");
        const QString chunk = QStringLiteral("Plain words \\b bold\\b0 \\i\\cf1 it\\'e9\\i0\\cf0 "
                                             "\\u8364? \\tab x ");
        text.reserve(10 * 1024 * 1024 + 100);
        while (text.size() < 10 * 1024 * 1024)
            text += chunk;
        text += QStringLiteral("}}");
        const rtf::Document document = ParseBounded(text);
        QCOMPARE(document.paragraphs.size(), size_t(1));
        QVERIFY(PeakMegabytes() < 1024);

        // The same amount of plain text goes into a document as one paragraph.
        QString words = QStringLiteral("{\\rtf1 ");
        words.reserve(10 * 1024 * 1024 + 10);
        while (words.size() < 10 * 1024 * 1024)
            words += QStringLiteral("plain words go on ");
        words += u'}';
        QElapsedTimer timer;
        timer.start();
        QTextDocument qt;
        ReadRtf(words, qt);
        QVERIFY2(timer.elapsed() < 120000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(qt.blockCount(), 1);
        QVERIFY(PeakMegabytes() < 1024);
    }

    void endlessParagraphsAreBounded() {
        QString text = QStringLiteral("{\\rtf1 ");
        for (int i = 0; i < 300'000; ++i)
            text += QStringLiteral("\\par ");
        text += QStringLiteral("end}");
        const rtf::Document document = ParseBounded(text);
        QCOMPARE(document.paragraphs.size(), rtf::kMaxParagraphs);
        // The text is kept: the extra marks are line breaks of the last paragraph.
        const std::u16string& last = document.paragraphs.back().runs.back().text;
        QVERIFY(last.ends_with(u"\u2028end"));
    }

    void fallbackSkippingIsLinear() {
        QString text = QStringLiteral("{\\rtf1\\uc16 ");
        for (int i = 0; i < 200'000; ++i)
            text += QStringLiteral("\\u233\\'80");
        text += QStringLiteral("}");
        const rtf::Document document = ParseBounded(text);
        QCOMPARE(document.paragraphs.size(), size_t(1));
    }
};

QTEST_MAIN(RtfHostileInputTest)
#include "RtfHostileInputTest.moc"
