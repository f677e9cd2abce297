// What the bug editor stores reads back as it was written: every formatting its toolbar offers,
// any text, and the same plain text for unrtf, an independent reader.
#include <algorithm>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextList>

#include "RtfTestSupport.h"
#include "client/rtf/RtfWriter.h"

using tarnwick::ReadRtf;
using tarnwick::RtfPlainText;
using tarnwick::WriteRtf;

namespace {

// One line per paragraph and per run of equally formatted text, with every property the
// editor can set, resolved against the document's default font.
QStringList Describe(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const QTextList* list = block.textList();
        lines << QStringLiteral("paragraph align=%1 margins=%2,%3,%4 list=%5")
                     .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(format.leftMargin())
                     .arg(format.rightMargin())
                     .arg(list ? 0.0 : format.textIndent())
                     .arg(list ? QStringLiteral("%1/%2 %3")
                                     .arg(list->format().style())
                                     .arg(list->format().indent())
                                     .arg(list->itemText(block))
                               : QString());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const QString run =
                QStringLiteral("  %1 %2pt%3%4%5%6 %7: ")
                    .arg(families.isEmpty() ? document.defaultFont().family() : families.front())
                    .arg(f.fontPointSize() > 0 ? f.fontPointSize()
                                               : document.defaultFont().pointSizeF())
                    .arg(f.fontWeight() > QFont::Medium ? " bold" : "",
                         f.fontItalic() ? " italic" : "", f.fontUnderline() ? " underline" : "",
                         f.fontStrikeOut() ? " strike" : "")
                    .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name()
                                                                     : QStringLiteral("auto"));
            if (!lines.back().startsWith(run)) lines << run;
            lines.back() += it.fragment().text();
        }
    }
    return lines;
}

QTextCharFormat Format(const QString& family, double points) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    return format;
}

// Written and read back.
QStringList RoundTrip(const QTextDocument& document) {
    QTextDocument read;
    ReadRtf(WriteRtf(document), read);
    return Describe(read);
}

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

const char* const kAwkwardTexts[][2] = {
    {"accents", "caf\u00e9 na\u00efve \u00c5ngstr\u00f6m"},
    {"euro", "costs 5\u20ac"},
    {"cyrillic", "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"},
    {"cjk", "\u4f60\u597d\u4e16\u754c"},
    {"emoji", "done \U0001F600 ok"},
    {"braces and backslashes", "C:\\temp\\{x} {\\b not bold}\\"},
    {"control words look-alike", "\\par\\u233? \\tab1 \\'e9"},
    {"tabs, lines and spaces", "  a\tb\u2028c  d  "},
    {"digits after a break", "1\t2\u20283"},
};

} // namespace

class RtfWriterTest : public QObject {
    Q_OBJECT

  private slots:
    void toolbarFormattingRoundTrips() {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat plain = Format("Arial", 10);
        cursor.insertText("Plain ", plain);
        QTextCharFormat format = plain;
        format.setFontWeight(QFont::Bold);
        cursor.insertText("bold ", format);
        format.setFontItalic(true);
        cursor.insertText("bold italic ", format);
        format = Format("Courier New", 14.5);
        format.setFontUnderline(true);
        format.setFontStrikeOut(true);
        cursor.insertText("mono underlined", format);
        format = Format("Times New Roman", 8);
        format.setForeground(QColor(200, 16, 32));
        cursor.insertText(" red", format);
        format.setForeground(QColor(0, 128, 255));
        cursor.insertText(" blue", format);

        QTextBlockFormat block;
        block.setAlignment(Qt::AlignHCenter);
        cursor.insertBlock(block, plain);
        cursor.insertText("centered", plain);
        block.setAlignment(Qt::AlignRight);
        block.setLeftMargin(30);
        block.setRightMargin(12);
        block.setTextIndent(-8);
        cursor.insertBlock(block, plain);
        cursor.insertText("right, indented", plain);
        cursor.insertBlock(QTextBlockFormat(), plain); // an empty paragraph stays
        cursor.insertBlock(QTextBlockFormat(), plain);
        cursor.createList(QTextListFormat::ListDisc);
        cursor.insertText("first bullet", plain);
        cursor.insertBlock();
        cursor.insertText("second bullet", format);
        QTextListFormat nested;
        nested.setStyle(QTextListFormat::ListCircle);
        nested.setIndent(2);
        cursor.insertBlock();
        cursor.createList(nested);
        QTextBlockFormat beyondTheList;
        beyondTheList.setLeftMargin(20);
        cursor.mergeBlockFormat(beyondTheList);
        cursor.insertText("nested", plain);
        cursor.insertBlock(QTextBlockFormat(), plain);
        QTextListFormat numbered;
        numbered.setStyle(QTextListFormat::ListLowerAlpha);
        numbered.setNumberSuffix(")");
        cursor.createList(numbered);
        cursor.insertText("one", plain);
        cursor.insertBlock();
        cursor.insertText("two", plain);
        cursor.insertBlock(QTextBlockFormat(), plain);
        cursor.insertText("after the lists", plain);

        const QStringList written = Describe(document);
        QCOMPARE(document.blockCount(), 10);
        QCOMPARE(RoundTrip(document), written);
        QVERIFY(written.join('\n').contains("a)")); // the numbering is part of what is compared
        QVERIFY(WriteRtf(document).contains("bold italic ")); // plain ASCII stays readable
    }

    void anyTextRoundTripsAsAscii_data() {
        QTest::addColumn<QString>("text");
        for (const auto& [name, text] : kAwkwardTexts)
            QTest::newRow(name) << QString::fromUtf8(text);
    }
    void anyTextRoundTripsAsAscii() {
        QFETCH(QString, text);
        QTextDocument document;
        document.setPlainText(text + "\n" + text);
        const QString rtf = WriteRtf(document);
        QVERIFY(IsAscii(rtf));
        QTextDocument read;
        ReadRtf(rtf, read);
        QCOMPARE(read.toPlainText(), document.toPlainText());
        QCOMPARE(RoundTrip(document), Describe(document));
    }

    void emptyDocumentReadsBackEmpty() {
        const QTextDocument document;
        const QString rtf = WriteRtf(document);
        QVERIFY(tarnwick::IsRtf(rtf));
        QVERIFY(rtf.endsWith('}'));
        QCOMPARE(rtf.count('{'), rtf.count('}'));
        QTextDocument read;
        read.setPlainText("old content");
        ReadRtf(rtf, read);
        QVERIFY(read.isEmpty());
        QCOMPARE(RtfPlainText(rtf), QString());
    }

    void unrtfReadsTheSameText() {
        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (unrtf.isEmpty()) QSKIP("unrtf is not installed");
        QTextDocument document;
        QTextCursor cursor(&document);
        for (const auto& [name, text] : kAwkwardTexts) {
            cursor.insertText(QString::fromUtf8(text));
            cursor.insertBlock();
        }
        cursor.createList(QTextListFormat::ListDecimal);
        cursor.insertText("numbered");
        const QString rtf = WriteRtf(document);

        QTemporaryDir directory;
        QFile file(directory.filePath("written.rtf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf.toLatin1());
        file.close();
        QProcess process;
        process.setWorkingDirectory(directory.path());
        process.start(unrtf,
                      {QStringLiteral("--nopict"), QStringLiteral("--text"), file.fileName()});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        // unrtf starts with a header ending in a row of dashes, lays text out with its own
        // whitespace and prints each \u escape as its fallback "?".
        QString theirs = QString::fromLatin1(process.readAllStandardOutput());
        const qsizetype body = theirs.indexOf(QStringLiteral("-----------------\n"));
        QVERIFY(body >= 0);
        theirs = theirs.mid(body + 18);
        const auto normalised = [](QString text) {
            text.remove(QRegularExpression(QStringLiteral("[\\s\u00a0\u2028]")));
            for (QChar& c : text)
                if (c.unicode() >= 0x80) c = u'?';
            return text;
        };
        const QString ours = RtfPlainText(rtf);
        QVERIFY(ours.endsWith("1.\tnumbered"));
        QCOMPARE(normalised(theirs), normalised(ours));
    }
};

QTEST_MAIN(RtfWriterTest)
#include "RtfWriterTest.moc"
