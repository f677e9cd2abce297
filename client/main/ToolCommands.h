#pragma once
// Tool > Options: the options dialog on the window's configuration record; OK saves Bug.cfg and
// the lists show dates in the format chosen.
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace tarnwick {

class ClientConfig;
class MessageSink;
class OptionsDialog;

class ToolCommands : public QObject {
    Q_OBJECT
  public:
    ToolCommands(MessageSink& messages, ClientConfig& config, QString configFile, QWidget* window);

    // Opens the dialog (it returns at once). mainDatabase: the database the window has open.
    void options(const QString& mainDatabase);
    OptionsDialog* optionsDialog() const;

  signals:
    // The record was changed and saved.
    void optionsChanged();

  private:
    MessageSink& messages_;
    ClientConfig& config_;
    QString configFile_;
    QWidget* window_;
    QPointer<OptionsDialog> dialog_;
};

} // namespace tarnwick
