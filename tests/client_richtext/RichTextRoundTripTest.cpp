// Documents made with the editor's toolbar and font dialog are stored as RTF and read back with
// every formatting as it was: runs (family, size, bold, italic, underline, strike-out, colour),
// paragraphs (alignment) and bullet lists, in any script.
#include <QTest>
#include <QTextEdit>

#include "EditorDriver.h"
#include "RichTextDescription.h"
#include "client/rtf/RtfReader.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// One document, built by a user's steps; `expected` are lines (or parts of lines) its
// description must hold, so that a step that did nothing cannot pass.
struct Scenario {
    const char* name;
    void (*build)(RichTextEditor&);
    QStringList expected;
};

void Words(RichTextEditor& editor) {
    Type(editor, QStringLiteral("plain strong slanted lined tail"));
}

const Scenario kScenarios[] = {
    {"bold word",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("strong"));
         Click(e, Command::Bold);
     },
     {QStringLiteral(" bold auto: strong")}},
    {"italic word",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("slanted"));
         Click(e, Command::Italic);
     },
     {QStringLiteral(" italic auto: slanted")}},
    {"underlined word",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("lined"));
         Click(e, Command::Underline);
     },
     {QStringLiteral(" underline auto: lined")}},
    {"bold italic underline on one word",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("strong"));
         Click(e, Command::Bold);
         Click(e, Command::Italic);
         Click(e, Command::Underline);
     },
     {QStringLiteral(" bold italic underline auto: strong")}},
    {"bold typed on from the cursor",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("before "));
         e.action(Command::Bold)->trigger();
         Type(e, QStringLiteral("during"));
         e.action(Command::Bold)->trigger();
         Type(e, QStringLiteral(" after"));
     },
     {QStringLiteral(" bold auto: during"), QStringLiteral("auto:  after")}},
    {"font family and size from the dialog",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("slanted"));
         PickFont(e, MakeFont(QStringLiteral("DejaVu Serif"), 14));
     },
     {QStringLiteral("run DejaVu Serif 14pt auto: slanted")}},
    {"every effect from the dialog",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("lined tail"));
         PickFont(e, MakeFont(QStringLiteral("Liberation Mono"), 11, true, true, true, true));
     },
     {QStringLiteral("run Liberation Mono 11pt bold italic underline strike auto: lined tail")}},
    {"two fonts in one paragraph",
     [](RichTextEditor& e) {
         Words(e);
         Select(e, QStringLiteral("plain"));
         PickFont(e, MakeFont(QStringLiteral("Liberation Serif"), 20));
         Select(e, QStringLiteral("tail"));
         PickFont(e, MakeFont(QStringLiteral("DejaVu Sans Mono"), 8, false, true));
     },
     {QStringLiteral("run Liberation Serif 20pt auto: plain"),
      QStringLiteral("run DejaVu Sans Mono 8pt italic auto: tail")}},
    {"centred and right-aligned paragraphs",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("left\ncentred\nright"));
         PlaceIn(e, QStringLiteral("centred"));
         Click(e, Command::Center);
         PlaceIn(e, QStringLiteral("right"));
         Click(e, Command::Right);
     },
     {QStringLiteral("paragraph align 4 "), QStringLiteral("paragraph align 2 ")}},
    {"centred, then left again",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("moved back"));
         Click(e, Command::Center);
         Click(e, Command::Left);
     },
     {QStringLiteral("paragraph align 1 ")}},
    {"bullet list of three items",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("intro\none\ntwo\nthree\noutro"));
         QTextCursor cursor = e.textEdit()->document()->find(QStringLiteral("one"));
         cursor.setPosition(e.textEdit()->document()->find(QStringLiteral("three")).position(),
                            QTextCursor::KeepAnchor);
         e.textEdit()->setTextCursor(cursor);
         Click(e, Command::Bullet);
     },
     {QStringLiteral("list style -1 level 1 marker")}},
    {"bullet typed on from the cursor",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("title\n"));
         Click(e, Command::Bullet);
         Type(e, QStringLiteral("first\nsecond"));
     },
     {QStringLiteral("list style -1")}},
    {"bullet switched off again",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("was a bullet"));
         Click(e, Command::Bullet);
         Click(e, Command::Bullet);
     },
     {QStringLiteral("paragraph align 1 left 0 right 0 first 0 list none")}},
    {"centred bullet item with a bold italic word",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("Steps:\nopen the ledger\nclose it"));
         PlaceIn(e, QStringLiteral("open"));
         Click(e, Command::Bullet);
         Click(e, Command::Center);
         Select(e, QStringLiteral("ledger"));
         Click(e, Command::Bold);
         Click(e, Command::Italic);
     },
     {QStringLiteral("paragraph align 4 left 40 right 0 first 0 list style -1"),
      QStringLiteral(" bold italic auto: ledger")}},
    {"non-ASCII text with fonts and effects",
     [](RichTextEditor& e) {
         Type(e, QStringLiteral("Gr\u00fc\u00dfe, "));
         Commit(e, QStringLiteral("\u6771\u4eac \U0001F600 \u041f\u0440\u0438\u0432\u0435\u0442"));
         Select(e, QStringLiteral("\u6771\u4eac"));
         Click(e, Command::Bold);
         Select(e, QStringLiteral("\u041f\u0440\u0438\u0432\u0435\u0442"));
         PickFont(e, MakeFont(QStringLiteral("DejaVu Serif"), 13, false, true));
         Select(e, QStringLiteral("Gr\u00fc\u00dfe"));
         Click(e, Command::Underline);
     },
     {QStringLiteral(" underline auto: Gr\u00fc\u00dfe"),
      QStringLiteral(" bold auto: \u6771\u4eac"),
      QStringLiteral("run DejaVu Serif 13pt italic auto: \u041f\u0440\u0438\u0432\u0435\u0442")}},
};

bool Contains(const QStringList& lines, const QString& part) {
    for (const QString& line : lines)
        if (line.contains(part)) return true;
    return false;
}

} // namespace

class RichTextRoundTripTest : public QObject {
    Q_OBJECT

  private slots:
    void toolbarDocumentsSurviveRtf_data() {
        QTest::addColumn<int>("scenario");
        for (int i = 0; i < int(std::size(kScenarios)); ++i)
            QTest::newRow(kScenarios[i].name) << i;
    }

    void toolbarDocumentsSurviveRtf() {
        QFETCH(int, scenario);
        const Scenario& s = kScenarios[scenario];
        RichTextEditor editor;
        editor.show();
        s.build(editor);
        QVERIFY(!editor.fontDialog()); // every dialog was answered
        const QStringList made = Describe(*editor.textEdit()->document());
        for (const QString& part : s.expected)
            QVERIFY2(Contains(made, part), qPrintable(part + " not in\n" + made.join(u'\n')));

        const QString stored = editor.rtf();
        QVERIFY(IsRtf(stored));
        RichTextEditor reader;
        reader.setRtf(stored);
        QCOMPARE(Describe(*reader.textEdit()->document()), made);
        QCOMPARE(reader.textEdit()->toPlainText(), editor.textEdit()->toPlainText());
        // Stored once more, the text is the same: nothing drifts from save to save.
        QCOMPARE(reader.rtf(), stored);
    }

    // The stored text is plain ASCII whatever the script, and reads back character for
    // character.
    void nonAsciiTextIsStoredAsAscii() {
        RichTextEditor editor;
        const QString text = QStringLiteral("Gr\u00fc\u00dfe, \u6771\u4eac \U0001F600 \u20ac");
        Commit(editor, text);
        const QString stored = editor.rtf();
        for (QChar c : stored)
            QVERIFY2(c.unicode() < 0x80, qPrintable(stored));
        RichTextEditor reader;
        reader.setRtf(stored);
        QCOMPARE(reader.textEdit()->toPlainText(), text);
        QCOMPARE(RtfPlainText(stored), text);
    }

    // A colour that came with the document stays when the text is formatted further.
    void colourIsKept() {
        RichTextEditor editor;
        editor.setRtf(QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Sans;}}"
                                     "{\\colortbl ;\\red200\\green0\\blue0;}"
                                     "\\pard\\f0\\fs20 black {\\cf1 red words} black\\par}"));
        Select(editor, QStringLiteral("red words"));
        editor.action(Command::Bold)->trigger();
        Select(editor, QStringLiteral("words"));
        QVERIFY(PickFont(editor, MakeFont(QStringLiteral("DejaVu Serif"), 15)));
        RichTextEditor reader;
        reader.setRtf(editor.rtf());
        const QStringList lines = Describe(*reader.textEdit()->document());
        QVERIFY2(Contains(lines, QStringLiteral("run Liberation Sans 10pt bold #c80000: red ")),
                 qPrintable(lines.join(u'\n')));
        QVERIFY2(Contains(lines, QStringLiteral("run DejaVu Serif 15pt #c80000: words")),
                 qPrintable(lines.join(u'\n')));
        QVERIFY(Contains(lines, QStringLiteral("run Liberation Sans 10pt auto:  black")));
    }

    // Text that is not RTF (older bugs, other tools) shows as it is and is stored as RTF of the
    // same text.
    void plainTextLoadsAsText() {
        RichTextEditor editor;
        const QString text = QStringLiteral("not rtf: {\\b braces} and \\backslashes\nline two");
        editor.setRtf(text);
        QCOMPARE(editor.textEdit()->toPlainText(), text);
        QVERIFY(!editor.isModified());
        QVERIFY(IsRtf(editor.rtf()));
        QCOMPARE(RtfPlainText(editor.rtf()), text);
        editor.setRtf(QString());
        QVERIFY(editor.textEdit()->document()->isEmpty());
        QCOMPARE(RtfPlainText(editor.rtf()), QString());
    }
};

QTEST_MAIN(RichTextRoundTripTest)
#include "RichTextRoundTripTest.moc"
