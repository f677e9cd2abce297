#pragma once
// The quick search field above a bug list: typing narrows the list after a short pause, Escape
// clears it at once.
#include <QLineEdit>
#include <QTimer>

namespace tarnwick {

class QuickSearchBox : public QLineEdit {
    Q_OBJECT

  public:
    // The pause after the last keystroke before the list is searched.
    static constexpr int kTypingPauseMs = 150;

    explicit QuickSearchBox(QWidget* parent = nullptr);

    // "N of M bugs" for the window's status.
    static QString CountText(int shown, int total);

  signals:
    // The text to search for, after typing pauses, on Enter, or "" when cleared.
    void searchChanged(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void EmitNow();

    QTimer pause_;
    QString emitted_;
};

} // namespace tarnwick
