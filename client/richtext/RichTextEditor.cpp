#include "client/richtext/RichTextEditor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFontDialog>
#include <QIcon>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QVBoxLayout>

#include "client/richtext/FontStyle.h"
#include "client/rtf/RtfReader.h"
#include "client/rtf/RtfWriter.h"

namespace tarnwick {
namespace {

// Captions of the toolbar's commands, in toolbar order, with their theme icons.
struct CommandText {
    const char* text;
    const char* icon;
};
const CommandText kCommands[] = {
    {"Font", "preferences-desktop-font"},
    {"Cut", "edit-cut"},
    {"Copy", "edit-copy"},
    {"Paste", "edit-paste"},
    {"Bold", "format-text-bold"},
    {"Italic", "format-text-italic"},
    {"Underline", "format-text-underline"},
    {"Bullet", "format-list-unordered"},
    {"Left", "format-justify-left"},
    {"Center", "format-justify-center"},
    {"Right", "format-justify-right"},
    {"Undo", "edit-undo"},
    {"Redo", "edit-redo"},
};
const char* const kFontMenuText = "Font...";
const char* const kToolBarName = "Formatting";

bool IsBullet(QTextListFormat::Style style) {
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

} // namespace

RichTextEditor::RichTextEditor(QWidget* parent)
    : QWidget(parent), edit_(new QTextEdit(this)),
      toolBar_(new QToolBar(QString::fromLatin1(kToolBarName), this)),
      alignment_(new QActionGroup(this)),
      fontMenuAction_(new QAction(QString::fromLatin1(kFontMenuText), this)) {
    toolBar_->setAccessibleName(QString::fromLatin1(kToolBarName));
    alignment_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < int(std::size(kCommands)); ++i) {
        const auto command = static_cast<Command>(i);
        if (command == Command::Cut || command == Command::Bold || command == Command::Bullet ||
            command == Command::Left || command == Command::Undo)
            toolBar_->addSeparator();
        addCommand(command, QString::fromLatin1(kCommands[i].text), kCommands[i].icon);
    }
    for (Command command : {Command::Bold, Command::Italic, Command::Underline, Command::Bullet,
                            Command::Left, Command::Center, Command::Right})
        action(command)->setCheckable(true);
    for (Command command : {Command::Left, Command::Center, Command::Right})
        alignment_->addAction(action(command));

    // Shortcuts work anywhere in the editor, the text area included.
    action(Command::Bold)->setShortcut(QKeySequence::Bold);
    action(Command::Italic)->setShortcut(QKeySequence::Italic);
    action(Command::Underline)->setShortcut(QKeySequence::Underline);
    action(Command::Undo)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    action(Command::Redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (Command command :
         {Command::Bold, Command::Italic, Command::Underline, Command::Undo, Command::Redo}) {
        action(command)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action(command));
    }

    connect(action(Command::Font), &QAction::triggered, this, &RichTextEditor::chooseFont);
    connect(fontMenuAction_, &QAction::triggered, this, &RichTextEditor::chooseFont);
    connect(action(Command::Cut), &QAction::triggered, edit_, &QTextEdit::cut);
    connect(action(Command::Copy), &QAction::triggered, edit_, &QTextEdit::copy);
    connect(action(Command::Paste), &QAction::triggered, edit_, &QTextEdit::paste);
    connect(action(Command::Bold), &QAction::triggered, this,
            [this](bool on) { edit_->setFontWeight(on ? QFont::Bold : QFont::Normal); });
    connect(action(Command::Italic), &QAction::triggered, edit_, &QTextEdit::setFontItalic);
    connect(action(Command::Underline), &QAction::triggered, edit_, &QTextEdit::setFontUnderline);
    connect(action(Command::Bullet), &QAction::triggered, this, &RichTextEditor::toggleBullet);
    connect(action(Command::Left), &QAction::triggered, this,
            [this] { setAlignment(Qt::AlignLeft); });
    connect(action(Command::Center), &QAction::triggered, this,
            [this] { setAlignment(Qt::AlignHCenter); });
    connect(action(Command::Right), &QAction::triggered, this,
            [this] { setAlignment(Qt::AlignRight); });
    connect(action(Command::Undo), &QAction::triggered, edit_, &QTextEdit::undo);
    connect(action(Command::Redo), &QAction::triggered, edit_, &QTextEdit::redo);

    // The toolbar follows the cursor: what is checked is what the text there has.
    connect(edit_, &QTextEdit::currentCharFormatChanged, this, &RichTextEditor::updateActions);
    connect(edit_, &QTextEdit::cursorPositionChanged, this, &RichTextEditor::updateActions);
    connect(edit_, &QTextEdit::selectionChanged, this, &RichTextEditor::updateActions);
    connect(edit_, &QTextEdit::undoAvailable, this, &RichTextEditor::updateActions);
    connect(edit_, &QTextEdit::redoAvailable, this, &RichTextEditor::updateActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &RichTextEditor::updateActions);
    connect(edit_->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!loading_) emit modified();
    });

    edit_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit_, &QWidget::customContextMenuRequested, this, &RichTextEditor::showContextMenu);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar_);
    layout->addWidget(edit_);
    setFocusProxy(edit_);
    updateActions();
}

QAction* RichTextEditor::addCommand(Command command, const QString& text, const char* iconName) {
    // Without an icon theme the button shows its text.
    auto* added = new QAction(QIcon::fromTheme(QLatin1String(iconName)), text, this);
    added->setToolTip(text);
    toolBar_->addAction(added);
    if (QWidget* button = toolBar_->widgetForAction(added)) button->setAccessibleName(text);
    Q_ASSERT(actions_.size() == static_cast<int>(command));
    actions_.append(added);
    return added;
}

QAction* RichTextEditor::action(Command command) const {
    return actions_.at(static_cast<int>(command));
}

void RichTextEditor::setRtf(const QString& text) {
    QTextDocument* document = edit_->document();
    loading_ = true;
    if (fontDialog_) fontDialog_->reject();
    document->setUndoRedoEnabled(false); // also forgets what could be undone
    ReadRtf(text, *document);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    loading_ = false;
    edit_->moveCursor(QTextCursor::Start);
    updateActions();
}

QString RichTextEditor::rtf() const {
    return WriteRtf(*edit_->document());
}

void RichTextEditor::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    edit_->setReadOnly(readOnly);
    if (readOnly) {
        // Still selectable with mouse and keyboard, so that the text can be copied.
        edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        if (fontDialog_) fontDialog_->reject();
    }
    updateActions();
}

bool RichTextEditor::isModified() const {
    return edit_->document()->isModified();
}

QMenu* RichTextEditor::createContextMenu(QWidget* parent) {
    updateActions();
    auto* menu = new QMenu(parent);
    menu->addAction(action(Command::Cut));
    menu->addAction(action(Command::Copy));
    menu->addAction(action(Command::Paste));
    menu->addAction(fontMenuAction_);
    return menu;
}

void RichTextEditor::showContextMenu(const QPoint& position) {
    QMenu* menu = createContextMenu(this);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(edit_->viewport()->mapToGlobal(position));
}

void RichTextEditor::chooseFont() {
    if (readOnly_) return;
    if (fontDialog_) {
        fontDialog_->raise();
        return;
    }
    auto* dialog = new QFontDialog(WithStyleName(fontAtCursor()), this);
    // The toolkit's own dialog, which tests can drive.
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    dialog->setWindowTitle(action(Command::Font)->text());
    connect(dialog, &QFontDialog::fontSelected, this, &RichTextEditor::applyFont);
    connect(dialog, &QDialog::finished, this, [this, dialog] {
        // Answered: the editor no longer has a dialog open.
        if (fontDialog_ == dialog) fontDialog_.clear();
        dialog->deleteLater();
    });
    fontDialog_ = dialog;
    dialog->open();
}

void RichTextEditor::applyFont(const QFont& font) {
    if (readOnly_) return;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    if (font.pointSizeF() > 0) format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    edit_->mergeCurrentCharFormat(format);
    updateActions();
}

QFont RichTextEditor::fontAtCursor() const {
    // Built from the format's own properties: the family is read as the list of families.
    const QTextCharFormat format = edit_->currentCharFormat();
    QFont font = edit_->document()->defaultFont();
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) font.setFamily(families.front());
    if (format.fontPointSize() > 0) font.setPointSizeF(format.fontPointSize());
    font.setBold(format.fontWeight() > QFont::Medium);
    font.setItalic(format.fontItalic());
    font.setUnderline(format.fontUnderline());
    font.setStrikeOut(format.fontStrikeOut());
    return font;
}

void RichTextEditor::toggleBullet(bool on) {
    QTextCursor cursor = edit_->textCursor();
    cursor.beginEditBlock();
    if (on) {
        cursor.createList(QTextListFormat::ListDisc);
    } else {
        // Every selected paragraph leaves its list and goes back to the margin.
        QTextDocument* document = edit_->document();
        const QTextBlock last = document->findBlock(cursor.selectionEnd());
        for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid();
             block = block.next()) {
            if (block.textList() != nullptr) {
                QTextBlockFormat format = block.blockFormat();
                format.setObjectIndex(-1);
                QTextCursor(block).setBlockFormat(format);
            }
            if (block == last) break;
        }
    }
    cursor.endEditBlock();
    updateActions();
}

void RichTextEditor::setAlignment(Qt::Alignment alignment) {
    edit_->setAlignment(alignment);
    updateActions();
}

void RichTextEditor::updateActions() {
    const bool editable = !readOnly_;
    const QTextCursor cursor = edit_->textCursor();
    const bool selected = cursor.hasSelection();
    const QTextDocument* document = edit_->document();

    action(Command::Copy)->setEnabled(selected);
    action(Command::Cut)->setEnabled(editable && selected);
    action(Command::Paste)->setEnabled(editable && edit_->canPaste());
    action(Command::Undo)->setEnabled(editable && document->isUndoAvailable());
    action(Command::Redo)->setEnabled(editable && document->isRedoAvailable());
    for (Command command : {Command::Font, Command::Bold, Command::Italic, Command::Underline,
                            Command::Bullet, Command::Left, Command::Center, Command::Right})
        action(command)->setEnabled(editable);
    fontMenuAction_->setEnabled(editable);

    const QTextCharFormat format = edit_->currentCharFormat();
    action(Command::Bold)->setChecked(format.fontWeight() > QFont::Medium);
    action(Command::Italic)->setChecked(format.fontItalic());
    action(Command::Underline)->setChecked(format.fontUnderline());
    const QTextList* list = cursor.currentList();
    action(Command::Bullet)->setChecked(list != nullptr && IsBullet(list->format().style()));

    const Qt::Alignment horizontal = edit_->alignment() & Qt::AlignHorizontal_Mask;
    QAction* aligned = action(Command::Left);
    if (horizontal & Qt::AlignHCenter)
        aligned = action(Command::Center);
    else if (horizontal & Qt::AlignRight)
        aligned = action(Command::Right);
    else if (horizontal & Qt::AlignJustify)
        aligned = nullptr; // justified text has no button of its own
    for (QAction* each : alignment_->actions())
        each->setChecked(each == aligned);
}

} // namespace tarnwick
