// What the reader makes of each piece of formatting an editor writes: character formats, group
// scoping, paragraphs, lists, special characters and hidden destinations.
#include <QTest>
#include <QTextList>

#include "RtfTestSupport.h"

using tarnwick::ReadRtf;
using tarnwick::RtfPlainText;
using tarnwick::test::BlockOf;
using tarnwick::test::EditorDocument;
using tarnwick::test::FormatOf;

class RtfFormattingTest : public QObject {
    Q_OBJECT

  private slots:
    void textThatIsNotRtfIsShownUnchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("The ledger hangs on save.");
        QTest::newRow("lines") << QStringLiteral("first\nsecond\n\nfourth");
        QTest::newRow("braces and backslashes") << QStringLiteral("{\\b not bold} C:\\temp\\{x}");
        QTest::newRow("almost rtf") << QStringLiteral("{\\rt1 text}");
        QTest::newRow("leading blank") << QStringLiteral(" {\\rtf1 \\b x}");
        QTest::newRow("empty") << QString();
        QTest::newRow("unicode") << QStringLiteral("caf\u00e9 \u20ac \U0001F600");
    }
    void textThatIsNotRtfIsShownUnchanged() {
        QFETCH(QString, text);
        QTextDocument document;
        document.setHtml(QStringLiteral("<b>old content</b>"));
        ReadRtf(text, document);
        QCOMPARE(document.toPlainText(), text);
        QVERIFY(!FormatOf(document, text.left(1)).hasProperty(QTextFormat::FontWeight) ||
                text.isEmpty() || FormatOf(document, text.left(1)).fontWeight() != QFont::Bold);
        QCOMPARE(RtfPlainText(text), text);
    }

    void characterFormatsFollowTheControlWords() {
        QTextDocument document;
        ReadRtf(EditorDocument(QStringLiteral(
                    "A\\b B\\b0 C\\i D\\i0 E\\ul F\\ulnone G\\ul H\\ul0 I\\strike J\\strike0 K"
                    "\\f1 L\\fs48 M\\cf1 N\\cf2 O\\cf0 P\\b\\i\\ul\\strike\\cf3 Q\\plain R")),
                document);
        QCOMPARE(document.toPlainText(), QStringLiteral("ABCDEFGHIJKLMNOPQR"));
        const auto at = [&](const char* text) {
            return FormatOf(document, QString::fromLatin1(text));
        };

        QCOMPARE(at("A").fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(at("A").fontPointSize(), 10.0);
        QCOMPARE(at("A").fontWeight(), int(QFont::Normal));
        QVERIFY(!at("A").fontItalic() && !at("A").fontUnderline() && !at("A").fontStrikeOut());
        QVERIFY(!at("A").hasProperty(QTextFormat::ForegroundBrush));

        QCOMPARE(at("B").fontWeight(), int(QFont::Bold));
        QCOMPARE(at("C").fontWeight(), int(QFont::Normal));
        QVERIFY(at("D").fontItalic());
        QVERIFY(!at("E").fontItalic());
        QVERIFY(at("F").fontUnderline());
        QVERIFY(!at("G").fontUnderline());
        QVERIFY(at("H").fontUnderline());
        QVERIFY(!at("I").fontUnderline());
        QVERIFY(at("J").fontStrikeOut());
        QVERIFY(!at("K").fontStrikeOut());
        QCOMPARE(at("L").fontFamilies().toStringList(), QStringList{"Courier New"});
        QCOMPARE(at("L").fontPointSize(), 10.0);
        QCOMPARE(at("M").fontPointSize(), 24.0);
        QCOMPARE(at("N").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(at("O").foreground().color(), QColor(0, 128, 255));
        QVERIFY(!at("P").hasProperty(QTextFormat::ForegroundBrush)); // \cf0: automatic
        const QTextCharFormat q = at("Q");
        QVERIFY(q.fontWeight() == QFont::Bold && q.fontItalic() && q.fontUnderline() &&
                q.fontStrikeOut());
        QCOMPARE(q.foreground().color(), QColor(0, 128, 0));
        // \plain: default font (\deff0), 12 points, nothing on.
        const QTextCharFormat r = at("R");
        QCOMPARE(r.fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(r.fontPointSize(), 12.0);
        QVERIFY(r.fontWeight() == QFont::Normal && !r.fontItalic() && !r.fontUnderline() &&
                !r.fontStrikeOut() && !r.hasProperty(QTextFormat::ForegroundBrush));
    }

    void groupsRestoreTheFormattingAroundThem() {
        QTextDocument document;
        ReadRtf(EditorDocument(QStringLiteral(
                    "a{\\b b{\\i\\cf1\\fs40 c}d{\\plain e}f}g{\\uc0 \\u233}\\u232?h")),
                document);
        QCOMPARE(document.toPlainText(), QStringLiteral("abcdefg\u00e9\u00e8h"));
        QCOMPARE(FormatOf(document, "a").fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, "b").fontWeight(), int(QFont::Bold));
        QVERIFY(FormatOf(document, "c").fontItalic());
        QCOMPARE(FormatOf(document, "c").fontWeight(), int(QFont::Bold));
        QCOMPARE(FormatOf(document, "c").fontPointSize(), 20.0);
        QVERIFY(!FormatOf(document, "d").fontItalic());
        QCOMPARE(FormatOf(document, "d").fontPointSize(), 10.0);
        QVERIFY(!FormatOf(document, "d").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(FormatOf(document, "e").fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatOf(document, "f").fontWeight(), int(QFont::Bold));
        QCOMPARE(FormatOf(document, "g").fontWeight(), int(QFont::Normal));
    }

    void paragraphsTakeAlignmentAndIndents() {
        QTextDocument document;
        ReadRtf(EditorDocument(QStringLiteral(
                    "plain\\par\\qc centred\\par\\qr right\\par\\qj justified\\par\\ql left"
                    "\\par\\pard\\li720\\ri360\\fi-360 indented\\par\\qc\\pard reset\\par"
                    "{\\pard\\qr scoped\\par}after")),
                document);
        QCOMPARE(document.blockCount(), 9);
        const auto block = [&](const char* text) {
            return BlockOf(document, QString::fromLatin1(text)).blockFormat();
        };
        QCOMPARE(block("plain").alignment(), Qt::AlignLeft);
        QCOMPARE(block("centred").alignment(), Qt::AlignHCenter);
        QCOMPARE(block("right").alignment(), Qt::AlignRight);
        QCOMPARE(block("justified").alignment(), Qt::AlignJustify);
        QCOMPARE(block("left").alignment(), Qt::AlignLeft);
        // Alignment stays until \pard.
        QCOMPARE(block("indented").alignment(), Qt::AlignLeft);
        QCOMPARE(block("indented").leftMargin(), 48.0); // 720 twips = half an inch = 48 px
        QCOMPARE(block("indented").rightMargin(), 24.0);
        QCOMPARE(block("indented").textIndent(), -24.0);
        QCOMPARE(block("reset").leftMargin(), 0.0);
        QCOMPARE(block("reset").alignment(), Qt::AlignLeft);
        QCOMPARE(block("scoped").alignment(), Qt::AlignRight);
        QCOMPARE(block("after").alignment(), Qt::AlignLeft);
        QCOMPARE(RtfPlainText(EditorDocument("one\\par two\\par\\par four")),
                 QStringLiteral("one\ntwo\n\nfour"));
    }

    void bulletsAndNumbersBecomeLists() {
        QTextDocument document;
        ReadRtf(EditorDocument(QStringLiteral(
                    "intro\\par"
                    // Bullets as a rich-text editor writes them.
                    "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent360{\\pntxtb"
                    "\\'B7}}\\fi-360\\li360 first bullet\\par"
                    "{\\pntext\\f2\\'B7\\tab}second bullet\\par"
                    // Numbers.
                    "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent360\\pnstart1"
                    "\\pndec{\\pntxta.}}\\fi-360\\li360 first number\\par"
                    "{\\pntext\\f0 2.\\tab}second number\\par"
                    "\\pard{\\pntext\\f0 a)\\tab}{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta)}}"
                    "letter\\par"
                    "\\pard{\\pntext\\f0 IV.\\tab}{\\*\\pn\\pnlvlbody\\pnucrm{\\pntxta.}}roman"
                    "\\par"
                    // A list defined in Word's list table: the marker tells its kind.
                    "\\pard{\\listtext\\pard\\plain\\f2\\fs20 \\u-3913 ?\\tab}\\ls1\\ilvl0"
                    "\\fi-360\\li720 word bullet\\par"
                    "\\pard{\\listtext\\pard\\plain 3.\\tab}\\ls2\\ilvl1 word number\\par"
                    "\\pard closing")),
                document);
        const auto list = [&](const char* text) {
            return BlockOf(document, QString::fromLatin1(text)).textList();
        };
        QVERIFY(list("intro") == nullptr);
        QVERIFY(list("first bullet") != nullptr);
        QCOMPARE(list("first bullet")->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(list("second bullet"), list("first bullet"));
        QCOMPARE(list("first bullet")->count(), 2);
        // A bullet's indent is the list's own.
        QCOMPARE(BlockOf(document, "first bullet").blockFormat().textIndent(), 0.0);

        QVERIFY(list("first number") != nullptr);
        QVERIFY(list("first number") != list("second bullet"));
        QCOMPARE(list("first number")->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(list("first number")->format().numberSuffix(), QStringLiteral("."));
        QCOMPARE(list("second number"), list("first number"));
        QCOMPARE(list("second number")->itemText(BlockOf(document, "second number")),
                 QStringLiteral("2."));
        QCOMPARE(list("letter")->format().style(), QTextListFormat::ListLowerAlpha);
        QCOMPARE(list("letter")->format().numberSuffix(), QStringLiteral(")"));
        QCOMPARE(list("roman")->format().style(), QTextListFormat::ListUpperRoman);
        QVERIFY(list("letter") != list("roman"));

        QCOMPARE(list("word bullet")->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(list("word number")->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(list("word number")->format().indent(), 2);
        QVERIFY(list("closing") == nullptr);

        QCOMPARE(document.toPlainText(),
                 QStringLiteral("intro\nfirst bullet\nsecond bullet\nfirst number\nsecond number\n"
                                "letter\nroman\nword bullet\nword number\nclosing"));
        QCOMPARE(RtfPlainText(EditorDocument(QStringLiteral(
                     "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'B7}}"
                     "item\\par{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}n\\par"))),
                 QStringLiteral("\u2022\titem\n1.\tn"));
    }

    void specialCharactersAndEscapes() {
        QCOMPARE(RtfPlainText(EditorDocument(QStringLiteral(
                     "a\\tab b\\line c \\{d\\} e\\\\f\\~g\\-h\\_i\\emdash\\endash\\bullet"
                     "\\lquote\\rquote\\ldblquote\\rdblquote\r\nj\\\nk"))),
                 QStringLiteral("a\tb\nc {d} e\\f\u00a0gh\u2011i\u2014\u2013\u2022\u2018\u2019"
                                "\u201c\u201dj\nk"));
        QTextDocument document;
        ReadRtf(EditorDocument(QStringLiteral("one\\line two\\par three")), document);
        QCOMPARE(document.blockCount(), 2); // \line breaks the line, not the paragraph
        QCOMPARE(document.begin().text(), QStringLiteral("one\u2028two"));
        // Characters above 127 that appear literally are themselves.
        QCOMPARE(RtfPlainText(QStringLiteral("{\\rtf1 caf\u00e9 \u20ac \U0001F600}")),
                 QStringLiteral("caf\u00e9 \u20ac \U0001F600"));
    }

    void codePages_data() {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("default 1252") << QStringLiteral("{\\rtf1 caf\\'e9 \\'80\\'96}")
                                      << QStringLiteral("caf\u00e9 \u20ac\u2013");
        QTest::newRow("ansi 1252") << QStringLiteral("{\\rtf1\\ansi\\ansicpg1252 \\'E9\\'9c}")
                                   << QStringLiteral("\u00e9\u0153");
        QTest::newRow("1251") << QStringLiteral("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8"
                                                "\\'e2\\'e5\\'f2}")
                              << QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442");
        QTest::newRow("1250") << QStringLiteral("{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8}")
                              << QStringLiteral("\u0161\u010d");
        QTest::newRow("font charset")
            << QStringLiteral("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 "
                              "Arial Cyr;}}\\'e9{\\f1 \\'e9}\\'e9}")
            << QStringLiteral("\u00e9\u0439\u00e9");
        QTest::newRow("double byte 932")
            << QStringLiteral("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'93\\'fa x}")
            << QStringLiteral("\u3042\u65e5 x");
        QTest::newRow("lead byte alone")
            << QStringLiteral("{\\rtf1\\ansi\\ansicpg932 a\\'82 b}") << QStringLiteral("a\ufffd b");
        QTest::newRow("unknown code page")
            << QStringLiteral("{\\rtf1\\ansi\\ansicpg99999 \\'e9\\'80}")
            << QStringLiteral("\u00e9\u20ac");
        QTest::newRow("symbol bullet") << QStringLiteral("{\\rtf1{\\fonttbl{\\f3\\fcharset2 "
                                                         "Symbol;}}{\\f3\\'b7} \\'b7}")
                                       << QStringLiteral("\u2022 \u00b7");
        QTest::newRow("upper-case hex and pairs split by a group")
            << QStringLiteral("{\\rtf1\\ansicpg1251 \\'C0{\\b\\'C1}}")
            << QStringLiteral("\u0410\u0411");
    }
    void codePages() {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfPlainText(rtf), text);
    }

    void unicodeEscapesSkipTheirFallbacks_data() {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("uc1 default")
            << QStringLiteral("{\\rtf1 caf\\u233?s}") << QStringLiteral("caf\u00e9s");
        QTest::newRow("uc0") << QStringLiteral("{\\rtf1\\uc0 caf\\u233 s}")
                             << QStringLiteral("caf\u00e9s");
        QTest::newRow("uc1 hex fallback")
            << QStringLiteral("{\\rtf1\\uc1\\u8364\\'80x}") << QStringLiteral("\u20acx");
        QTest::newRow("uc2") << QStringLiteral("{\\rtf1\\uc2\\u8364\\'80\\'80x\\u8364 ab c}")
                             << QStringLiteral("\u20acx\u20ac c");
        QTest::newRow("negative") << QStringLiteral("{\\rtf1\\u-3913?\\u-1?}")
                                  << QStringLiteral("\uf0b7\uffff");
        QTest::newRow("surrogate pair")
            << QStringLiteral("{\\rtf1\\u-10179?\\u-8704?!}") << QStringLiteral("\U0001F600!");
        QTest::newRow("lone surrogate")
            << QStringLiteral("{\\rtf1\\u-10179?x}") << QStringLiteral("\ufffdx");
        QTest::newRow("uc scoped by group")
            << QStringLiteral("{\\rtf1{\\uc2\\u233??}\\u233?x}") << QStringLiteral("\u00e9\u00e9x");
        QTest::newRow("group ends fallback")
            << QStringLiteral("{\\rtf1\\uc3\\u233{x}y}") << QStringLiteral("\u00e9xy");
        QTest::newRow("fallback counts a control word")
            << QStringLiteral("{\\rtf1\\u233\\tab x}") << QStringLiteral("\u00e9x");
        QTest::newRow("line break is not a fallback")
            << QStringLiteral("{\\rtf1\\u233\r\n?x}") << QStringLiteral("\u00e9x");
    }
    void unicodeEscapesSkipTheirFallbacks() {
        QFETCH(QString, rtf);
        QFETCH(QString, text);
        QCOMPARE(RtfPlainText(rtf), text);
    }

    void hiddenDestinationsShowNothing_data() {
        QTest::addColumn<QString>("body");
        QTest::newRow("picture") << QStringLiteral(
            "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000000d49484452}");
        QTest::newRow("nested picture") << QStringLiteral(
            "{\\*\\shppict{\\pict\\wmetafile8 0100090000}}{\\nonshppict{\\pict 0102}}");
        QTest::newRow("object") << QStringLiteral(
            "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0105000002}{\\result}}");
        QTest::newRow("unknown starred")
            << QStringLiteral("{\\*\\generator Riched20 10.0;}{\\*\\future{\\b bold}words}");
        QTest::newRow("binary with braces") << QStringLiteral("{\\pict\\bin5 }{\\}x}");
        QTest::newRow("tables and info")
            << QStringLiteral("{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                              "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}}}");
        QTest::newRow("field instruction")
            << QStringLiteral("{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt }}");
        QTest::newRow("header and footnote")
            << QStringLiteral("{\\header page}{\\footer foot}{\\footnote note}");
    }
    void hiddenDestinationsShowNothing() {
        QFETCH(QString, body);
        QCOMPARE(RtfPlainText(
                     EditorDocument(QStringLiteral("before ") + body + QStringLiteral("after"))),
                 QStringLiteral("before after"));
    }

    void unknownWordsAndUnstarredDestinationsKeepTheirText() {
        QCOMPARE(RtfPlainText(EditorDocument(
                     QStringLiteral("\\madeupword12 a{\\fldrslt link}\\kerning0 b"))),
                 QStringLiteral("alinkb"));
    }

    void fontTablesInOtherShapes() {
        QTextDocument document;
        ReadRtf(QStringLiteral("{\\rtf1\\deff1{\\fonttbl\\f0\\froman Times New Roman;"
                               "\\f1\\fswiss{\\*\\panose 020b0604020202020204}Liberation Sans"
                               "{\\*\\falt Arial};}x\\f0 y\\f7 z}"),
                document);
        QCOMPARE(document.toPlainText(), QStringLiteral("xyz"));
        QCOMPARE(FormatOf(document, "x").fontFamilies().toStringList(),
                 QStringList{"Liberation Sans"});
        QCOMPARE(FormatOf(document, "y").fontFamilies().toStringList(),
                 QStringList{"Times New Roman"});
        QVERIFY(!FormatOf(document, "z").hasProperty(QTextFormat::FontFamilies)); // no font 7
    }

    void readingReplacesTheDocument() {
        QTextDocument document;
        ReadRtf(EditorDocument("\\qc{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec}\\b one\\par two"),
                document);
        ReadRtf(EditorDocument("fresh"), document);
        QCOMPARE(document.toPlainText(), QStringLiteral("fresh"));
        QCOMPARE(document.blockCount(), 1);
        QVERIFY(document.begin().textList() == nullptr);
        QCOMPARE(document.begin().blockFormat().alignment(), Qt::AlignLeft);
        QCOMPARE(FormatOf(document, "f").fontWeight(), int(QFont::Normal));
        ReadRtf(QStringLiteral("{\\rtf1}"), document);
        QVERIFY(document.isEmpty());
    }
};

QTEST_MAIN(RtfFormattingTest)
#include "RtfFormattingTest.moc"
