#pragma once
// Drives a RichTextEditor the way a user does: typing, selecting, pressing toolbar buttons and
// choosing a font in the editor's own font dialog.
#include <QFontDialog>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include "client/richtext/FontStyle.h"
#include "client/richtext/RichTextEditor.h"

namespace tarnwick::test {

using Command = RichTextEditor::Command;

// Types the text at the cursor; characters beyond Latin-1 arrive as an input method commits them.
inline void Type(RichTextEditor& editor, const QString& text) {
    QWidget* target = editor.textEdit();
    for (QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(target, Qt::Key_Return);
        else if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else if (c.unicode() < 0x100)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(target, &commit);
        }
    }
}

// Commits a whole text through the input method (as for Chinese or Japanese input).
inline void Commit(RichTextEditor& editor, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(editor.textEdit(), &commit);
}

// Selects the first occurrence of the text; false when it is not there.
inline bool Select(RichTextEditor& editor, const QString& text) {
    const QTextCursor found = editor.textEdit()->document()->find(text);
    if (found.isNull()) return false;
    editor.textEdit()->setTextCursor(found);
    return true;
}

// Puts the cursor inside the first occurrence of the text (after its first character).
inline bool PlaceIn(RichTextEditor& editor, const QString& text) {
    QTextCursor found = editor.textEdit()->document()->find(text);
    if (found.isNull()) return false;
    found.setPosition(found.selectionStart() + 1);
    editor.textEdit()->setTextCursor(found);
    return true;
}

inline void MoveToEnd(RichTextEditor& editor) {
    editor.textEdit()->moveCursor(QTextCursor::End);
}

// Clicks the command's toolbar button.
inline void Click(RichTextEditor& editor, Command command) {
    QWidget* button = editor.toolBar()->widgetForAction(editor.action(command));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses the font in the dialog the Font button opens; false when no dialog opened.
inline bool PickFont(RichTextEditor& editor, const QFont& font) {
    editor.action(Command::Font)->trigger();
    QFontDialog* dialog = editor.fontDialog();
    if (dialog == nullptr || !dialog->isVisible()) return false;
    // The user picks the family, the style by its name in the list, and the size.
    dialog->setCurrentFont(WithStyleName(font));
    dialog->accept();
    return true;
}

inline QFont MakeFont(const QString& family, int points, bool bold = false, bool italic = false,
                      bool underline = false, bool strikeOut = false) {
    QFont font(family, points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

} // namespace tarnwick::test
