// The rich texts the engine's tool writes into demo databases read back with all their
// formatting, and with the same text the tool itself extracts.
#include <QTest>
#include <QTextList>

#include "RtfTestSupport.h"
#include "RtfText.h"
#include "RtfWriter.h"

using tarnwick::ReadRtf;
using tarnwick::RtfPlainText;
using tarnwick::test::BlockOf;
using tarnwick::test::FormatOf;

class RtfWriterReadBackTest : public QObject {
    Q_OBJECT

    static QString Written(const velmora::demo::RtfWriter& writer) {
        return QString::fromStdString(writer.Document());
    }

  private slots:
    void formattingReadsBack() {
        velmora::demo::RtfWriter writer;
        writer.Text("Steps: open the ").Bold("Ledger").Text(" and press ").Italic("Save");
        writer.EndParagraph();
        writer.Bullet("first \u00e9tape").Bullet("second {step} \\ done");
        writer.Text("line one\nline two \u20ac \U0001F600");
        QTextDocument document;
        ReadRtf(Written(writer), document);

        QCOMPARE(document.blockCount(), 4);
        QVERIFY(document.lastBlock().text().startsWith(QStringLiteral("line one\u2028line two")));
        QCOMPARE(FormatOf(document, "Ledger").fontWeight(), int(QFont::Bold));
        QVERIFY(!FormatOf(document, "Ledger").fontItalic());
        QVERIFY(FormatOf(document, "Save").fontItalic());
        QCOMPARE(FormatOf(document, "Save").fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, " and").fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, "Steps").fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(FormatOf(document, "Steps").fontPointSize(), 10.0);

        QTextList* bullets = BlockOf(document, "first").textList();
        QVERIFY(bullets != nullptr);
        QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(bullets->count(), 2);
        QCOMPARE(BlockOf(document, "second").textList(), bullets);
        QVERIFY(BlockOf(document, "Steps").textList() == nullptr);
        QVERIFY(BlockOf(document, "line one").textList() == nullptr);
        QCOMPARE(BlockOf(document, "Steps").blockFormat().alignment(), Qt::AlignLeft);
        // The bullet's font (Symbol) does not leak into the item's text.
        QCOMPARE(FormatOf(document, "first").fontFamilies().toStringList(), QStringList{"Arial"});

        QCOMPARE(document.toPlainText(),
                 QStringLiteral("Steps: open the Ledger and press Save\nfirst \u00e9tape\n"
                                "second {step} \\ done\nline one\nline two \u20ac "
                                "\U0001F600"));
    }

    void plainTextAgreesWithTheToolsExtractor() {
        velmora::demo::RtfWriter writer;
        writer.Text("Crash on ").Bold("export").Text(" (\u00fcber 100 rows)").EndParagraph();
        writer.Bullet("select all").Bullet("press \"CSV\"").Italic("Observed: nothing");
        const std::string rtf = writer.Document();
        // The tool writes a bullet as "• ", the reader as the marker and a tab.
        QString fromTool = QString::fromStdString(velmora::tool::RtfToPlainText(rtf));
        QString ours = RtfPlainText(QString::fromStdString(rtf));
        ours.replace(QStringLiteral("\u2022\t"), QStringLiteral("\u2022 "));
        QCOMPARE(ours, fromTool);
    }

    void textWithoutFormattingIsOneParagraph() {
        velmora::demo::RtfWriter writer;
        writer.Text("only text");
        QTextDocument document;
        ReadRtf(Written(writer), document);
        QCOMPARE(document.blockCount(), 1);
        QCOMPARE(document.toPlainText(), QStringLiteral("only text"));
    }
};

QTEST_MAIN(RtfWriterReadBackTest)
#include "RtfWriterReadBackTest.moc"
