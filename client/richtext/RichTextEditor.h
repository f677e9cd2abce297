#pragma once
// A rich-text editor for the bug's texts, stored as RTF: a text area with a formatting toolbar
// (font, clipboard, bold, italic, underline, bullets, alignment, undo and redo) and a right-click
// menu with the clipboard commands and the font dialog.
#include <QFontDialog>
#include <QPointer>
#include <QWidget>

class QAction;
class QActionGroup;
class QFont;
class QMenu;
class QTextEdit;
class QToolBar;

namespace tarnwick {

class RichTextEditor : public QWidget {
    Q_OBJECT

  public:
    // The toolbar's commands, in toolbar order.
    enum class Command {
        Font,
        Cut,
        Copy,
        Paste,
        Bold,
        Italic,
        Underline,
        Bullet,
        Left,
        Center,
        Right,
        Undo,
        Redo
    };

    explicit RichTextEditor(QWidget* parent = nullptr);

    // Replaces the content. RTF is read with its formatting, any other text as plain text.
    // Loading is not a change: the editor is unmodified afterwards and has nothing to undo.
    void setRtf(const QString& text);
    // The content as RTF.
    QString rtf() const;

    // A read-only editor still selects and copies; every editing command is disabled.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return readOnly_; }
    // Whether the content differs from what was loaded (undoing every change makes it false).
    bool isModified() const;

    QTextEdit* textEdit() const { return edit_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* action(Command command) const;

    // The right-click menu: "Cut", "Copy", "Paste", "Font...". The caller owns it.
    QMenu* createContextMenu(QWidget* parent);
    // The font dialog opened by the Font command while it is open, else null.
    QFontDialog* fontDialog() const { return fontDialog_; }

  public slots:
    // Opens the font dialog preset with the font at the cursor; a font chosen there applies to
    // the selection (or to what is typed next).
    void chooseFont();
    // Applies family, size, bold, italic, underline and strike-out of the font; colour and the
    // rest of the formatting stay.
    void applyFont(const QFont& font);

  signals:
    // The user changed the content.
    void modified();

  private:
    QAction* addCommand(Command command, const QString& text, const char* iconName);
    void toggleBullet(bool on);
    void setAlignment(Qt::Alignment alignment);
    QFont fontAtCursor() const;
    void showContextMenu(const QPoint& position);
    void updateActions();

    QTextEdit* edit_;
    QToolBar* toolBar_;
    QList<QAction*> actions_;
    QActionGroup* alignment_;
    QAction* fontMenuAction_;
    QPointer<QFontDialog> fontDialog_;
    bool readOnly_ = false;
    bool loading_ = false;
    bool undoAvailable_ = false;
    bool redoAvailable_ = false;
};

} // namespace tarnwick
