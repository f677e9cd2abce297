// The editor's commands: the toolbar and its states, the right-click menu, the clipboard, the
// font dialog, read-only mode, undo and redo, and what counts as a change.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include "EditorDriver.h"
#include "RichTextDescription.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QStringList kToolbarTexts = {"Font",   "Cut",       "Copy",   "Paste", "Bold",
                                   "Italic", "Underline", "Bullet", "Left",  "Center",
                                   "Right",  "Undo",      "Redo"};

// A document with a bold word, a centred paragraph, a bullet item and a 16-point italic
// Liberation Serif word.
const char* const kFormatted =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Sans;}{\\f1 Liberation Serif;}}"
    "\\pard\\f0\\fs20 plain {\\b boldword} plain\\par"
    "\\pard\\qc centred\\par"
    "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\li720\\fi-360 bulleted\\par"
    "\\pard {\\f1\\fs32\\i serifword} end\\par}";

QStringList EditingCommands() {
    return {"Font",   "Cut",  "Paste",  "Bold",  "Italic", "Underline",
            "Bullet", "Left", "Center", "Right", "Undo",   "Redo"};
}

} // namespace

class RichTextEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
        QApplication::clipboard()->clear();
    }

    void toolbarHoldsTheCommandsInOrder() {
        RichTextEditor editor;
        QStringList texts;
        for (QAction* action : editor.toolBar()->actions())
            if (!action->isSeparator()) texts << action->text();
        QCOMPARE(texts, kToolbarTexts);
        for (int i = 0; i < kToolbarTexts.size(); ++i) {
            QAction* action = editor.action(static_cast<Command>(i));
            QCOMPARE(action->text(), kToolbarTexts[i]);
            QCOMPARE(action->toolTip(), kToolbarTexts[i]);
            QWidget* button = editor.toolBar()->widgetForAction(action);
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), kToolbarTexts[i]);
        }
        for (Command c : {Command::Bold, Command::Italic, Command::Underline, Command::Bullet,
                          Command::Left, Command::Center, Command::Right})
            QVERIFY(editor.action(c)->isCheckable());
        for (Command c : {Command::Font, Command::Cut, Command::Copy, Command::Paste, Command::Undo,
                          Command::Redo})
            QVERIFY(!editor.action(c)->isCheckable());
    }

    // The buttons show what the text at the cursor has.
    void statesFollowTheCursor() {
        RichTextEditor editor;
        editor.setRtf(QString::fromLatin1(kFormatted));
        auto checked = [&](Command c) { return editor.action(c)->isChecked(); };

        QVERIFY(PlaceIn(editor, QStringLiteral("boldword")));
        QVERIFY(checked(Command::Bold) && !checked(Command::Italic));
        QVERIFY(checked(Command::Left) && !checked(Command::Center) && !checked(Command::Bullet));

        QVERIFY(PlaceIn(editor, QStringLiteral("centred")));
        QVERIFY(!checked(Command::Bold) && checked(Command::Center) && !checked(Command::Left));

        QVERIFY(PlaceIn(editor, QStringLiteral("bulleted")));
        QVERIFY(checked(Command::Bullet) && checked(Command::Left));

        QVERIFY(PlaceIn(editor, QStringLiteral("serifword")));
        QVERIFY(checked(Command::Italic) && !checked(Command::Bold) && !checked(Command::Bullet));

        // A justified paragraph has no button of its own: none is checked.
        editor.setRtf(QStringLiteral("{\\rtf1\\ansi\\pard\\qj justified\\par}"));
        QVERIFY(!checked(Command::Left) && !checked(Command::Center) && !checked(Command::Right));
    }

    // The dialog opens on the font at the cursor, style included, and Cancel changes nothing.
    void fontDialogOpensOnTheCurrentFont() {
        RichTextEditor editor;
        editor.show();
        editor.setRtf(QString::fromLatin1(kFormatted));
        QVERIFY(PlaceIn(editor, QStringLiteral("serifword")));
        editor.action(Command::Font)->trigger();
        QFontDialog* dialog = editor.fontDialog();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(dialog->testOption(QFontDialog::DontUseNativeDialog));
        const QFont shown = dialog->currentFont();
        QCOMPARE(shown.family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(shown.pointSize(), 16);
        QVERIFY(shown.italic());
        QVERIFY(!shown.bold());
        // Triggered again while open, the same dialog stays.
        editor.action(Command::Font)->trigger();
        QCOMPARE(editor.fontDialog(), dialog);

        const QStringList before = Describe(*editor.textEdit()->document());
        dialog->reject();
        QVERIFY(!editor.fontDialog());
        QCOMPARE(Describe(*editor.textEdit()->document()), before);
        QVERIFY(!editor.isModified());
    }

    // A family whose regular style is not called "Regular" still opens on its regular style:
    // changing only the size must not make the text italic or condensed.
    void fontDialogKeepsTheRegularStyle() {
        RichTextEditor editor;
        editor.show();
        editor.setRtf(QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Serif;}}"
                                     "\\pard\\f0\\fs24 regular text\\par}"));
        QVERIFY(Select(editor, QStringLiteral("regular")));
        editor.action(Command::Font)->trigger();
        QFontDialog* dialog = editor.fontDialog();
        QVERIFY(dialog);
        QFont font = dialog->currentFont();
        QVERIFY(!font.italic());
        QVERIFY(!font.bold());
        font.setPointSize(18);
        dialog->setCurrentFont(font);
        dialog->accept();
        const QStringList lines = Describe(*editor.textEdit()->document());
        QVERIFY2(lines.contains(QStringLiteral("  run DejaVu Serif 18pt auto: regular")),
                 qPrintable(lines.join(u'\n')));
    }

    // The font applies to the selection only; the text around it keeps its own.
    void fontAppliesToTheSelection() {
        RichTextEditor editor;
        editor.show();
        editor.setRtf(QString::fromLatin1(kFormatted));
        QVERIFY(Select(editor, QStringLiteral("boldword")));
        QVERIFY(PickFont(editor, MakeFont(QStringLiteral("DejaVu Sans Mono"), 7)));
        const QStringList lines = Describe(*editor.textEdit()->document());
        QVERIFY(lines.contains(QStringLiteral("  run Liberation Sans 10pt auto: plain ")));
        QVERIFY(lines.contains(QStringLiteral("  run DejaVu Sans Mono 7pt auto: boldword")));
        QVERIFY(lines.contains(QStringLiteral("  run Liberation Sans 10pt auto:  plain")));
        QVERIFY(editor.isModified());
    }

    void contextMenuOffersFourCommands() {
        RichTextEditor editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        emit editor.textEdit()->customContextMenuRequested(QPoint(5, 5));
        QMenu* menu = editor.findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, QStringList({"Cut", "Copy", "Paste", "Font..."}));
        // Nothing selected, nothing pasted yet: only the font can be chosen.
        QVERIFY(!menu->actions()[0]->isEnabled());
        QVERIFY(!menu->actions()[1]->isEnabled());
        QVERIFY(menu->actions()[3]->isEnabled());
        menu->actions()[3]->trigger();
        QVERIFY(editor.fontDialog());
        editor.fontDialog()->reject();
        menu->close();
        QTRY_VERIFY(!editor.findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly));
    }

    void clipboardCommands() {
        RichTextEditor editor;
        editor.setRtf(QString::fromLatin1(kFormatted));
        QVERIFY(!editor.action(Command::Copy)->isEnabled());
        QVERIFY(Select(editor, QStringLiteral("boldword")));
        QVERIFY(editor.action(Command::Copy)->isEnabled());
        QVERIFY(editor.action(Command::Cut)->isEnabled());
        editor.action(Command::Cut)->trigger();
        QVERIFY(!editor.textEdit()->toPlainText().contains(QStringLiteral("boldword")));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("boldword"));
        QVERIFY(editor.action(Command::Paste)->isEnabled());
        MoveToEnd(editor);
        editor.action(Command::Paste)->trigger();
        QVERIFY(editor.textEdit()->toPlainText().endsWith(QStringLiteral("boldword")));
        // Pasted with its formatting.
        QVERIFY(PlaceIn(editor, QStringLiteral("boldword")));
        QVERIFY(editor.action(Command::Bold)->isChecked());
    }

    void readOnlyKeepsOnlyCopy() {
        RichTextEditor editor;
        editor.show();
        editor.setRtf(QString::fromLatin1(kFormatted));
        QApplication::clipboard()->setText(QStringLiteral("pasteable"));
        editor.setReadOnly(true);
        QVERIFY(editor.isReadOnly());
        QVERIFY(Select(editor, QStringLiteral("boldword")));
        for (QAction* action : editor.toolBar()->actions()) {
            if (action->isSeparator()) continue;
            QVERIFY2(action->isEnabled() == (action->text() == QStringLiteral("Copy")),
                     qPrintable(action->text()));
        }
        const QString before = editor.textEdit()->toPlainText();
        Type(editor, QStringLiteral("typed"));
        editor.action(Command::Font)->trigger();
        QVERIFY(!editor.fontDialog());
        editor.applyFont(MakeFont(QStringLiteral("DejaVu Serif"), 30));
        QCOMPARE(editor.textEdit()->toPlainText(), before);
        QVERIFY(!editor.isModified());
        editor.action(Command::Copy)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("boldword"));

        std::unique_ptr<QMenu> menu(editor.createContextMenu(nullptr));
        QCOMPARE(menu->actions().size(), 4);
        QVERIFY(!menu->actions()[0]->isEnabled());
        QVERIFY(menu->actions()[1]->isEnabled());
        QVERIFY(!menu->actions()[2]->isEnabled());
        QVERIFY(!menu->actions()[3]->isEnabled());

        editor.setReadOnly(false);
        for (const QString& text : EditingCommands()) {
            if (text == QStringLiteral("Undo") || text == QStringLiteral("Redo")) continue;
            QVERIFY2(editor.action(static_cast<Command>(kToolbarTexts.indexOf(text)))->isEnabled(),
                     qPrintable(text));
        }
        Type(editor, QStringLiteral("typed"));
        QVERIFY(editor.textEdit()->toPlainText().contains(QStringLiteral("typed")));
    }

    // A font dialog left open does not outlive read-only mode.
    void readOnlyClosesTheFontDialog() {
        RichTextEditor editor;
        editor.show();
        editor.action(Command::Font)->trigger();
        QVERIFY(editor.fontDialog());
        editor.setReadOnly(true);
        QVERIFY(!editor.fontDialog());
    }

    void undoAndRedo() {
        RichTextEditor editor;
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.textEdit()->setFocus();
        editor.setRtf(QStringLiteral("{\\rtf1\\ansi\\pard start\\par}"));
        // Loading is not undoable.
        QVERIFY(!editor.action(Command::Undo)->isEnabled());
        QVERIFY(!editor.action(Command::Redo)->isEnabled());
        MoveToEnd(editor);
        Type(editor, QStringLiteral(" more"));
        QVERIFY(editor.action(Command::Undo)->isEnabled());
        editor.action(Command::Undo)->trigger();
        QCOMPARE(editor.textEdit()->toPlainText(), QStringLiteral("start"));
        QVERIFY(!editor.isModified());
        QVERIFY(editor.action(Command::Redo)->isEnabled());
        editor.action(Command::Redo)->trigger();
        QCOMPARE(editor.textEdit()->toPlainText(), QStringLiteral("start more"));

        // Formatting is undone too, and the keys do the same as the buttons.
        QVERIFY(Select(editor, QStringLiteral("start")));
        Click(editor, Command::Bold);
        QVERIFY(editor.action(Command::Bold)->isChecked());
        QTest::keyClick(editor.textEdit(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(PlaceIn(editor, QStringLiteral("start")));
        QVERIFY(!editor.action(Command::Bold)->isChecked());
        QVERIFY(Select(editor, QStringLiteral("start")));
        QTest::keyClick(editor.textEdit(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(PlaceIn(editor, QStringLiteral("start")));
        QVERIFY(editor.action(Command::Bold)->isChecked());
        QTest::keyClick(editor.textEdit(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(editor.textEdit(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(PlaceIn(editor, QStringLiteral("start")));
        QVERIFY(editor.action(Command::Bold)->isChecked());

        // A new load forgets the history.
        editor.setRtf(QStringLiteral("other"));
        QVERIFY(!editor.action(Command::Undo)->isEnabled());
        QVERIFY(!editor.textEdit()->document()->isUndoAvailable());
    }

    void modifiedSignal() {
        RichTextEditor editor;
        QSignalSpy modified(&editor, &RichTextEditor::modified);
        editor.setRtf(QString::fromLatin1(kFormatted));
        editor.setRtf(QStringLiteral("plain text"));
        QCOMPARE(modified.count(), 0);
        QVERIFY(!editor.isModified());

        // Moving the cursor, selecting and copying change nothing.
        QVERIFY(Select(editor, QStringLiteral("plain")));
        editor.action(Command::Copy)->trigger();
        QCOMPARE(modified.count(), 0);

        // Formatting alone is a change.
        editor.action(Command::Italic)->trigger();
        QVERIFY(modified.count() > 0);
        QVERIFY(editor.isModified());

        editor.setRtf(QStringLiteral("again"));
        QVERIFY(!editor.isModified());
        modified.clear();
        MoveToEnd(editor);
        Type(editor, QStringLiteral("!"));
        QVERIFY(modified.count() > 0);
        QVERIFY(editor.isModified());
    }
};

QTEST_MAIN(RichTextEditorTest)
#include "RichTextEditorTest.moc"
