#pragma once
// The one seam through which the client shows a message or asks a yes/no question. Windows and
// dialogs hold a MessageSink&; the program gives them the message-box one, tests a recording
// one that answers questions and keeps every text for reading.
#include <QString>
#include <QStringList>

class QWidget;

namespace tarnwick {

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // A message with an OK button (engine failures, refusals, notices).
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& question) = 0;
};

// Modal message boxes captioned with the application's name.
class MessageBoxSink : public MessageSink {
  public:
    void Inform(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& question) override;
};

// Keeps every text in order and answers questions from a queue (Yes when it is empty).
class RecordingMessageSink : public MessageSink {
  public:
    void Inform(QWidget*, const QString& text) override { texts.append(text); }
    bool Confirm(QWidget*, const QString& question) override {
        texts.append(question);
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    QStringList texts;
    QList<bool> answers;
};

} // namespace tarnwick
