#pragma once
// Asks for a filter's name, for a new filter or a renamed one. OK with an empty name, or with a
// name that is taken, says so and keeps the dialog open.
#include <QDialog>
#include <QStringList>

class QLineEdit;

namespace tarnwick {

class MessageSink;

class FilterNameDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FilterNameDialog(MessageSink& messages, QWidget* parent = nullptr);

    void setName(const QString& name);
    QString name() const;
    // Names OK refuses (compared exactly): those of the other filters when one is renamed.
    void setTakenNames(const QStringList& names) { taken_ = names; }

    QLineEdit* nameEdit() const { return edit_; }

    void accept() override;

  private:
    MessageSink& messages_;
    QLineEdit* edit_;
    QStringList taken_;
};

} // namespace tarnwick
