#pragma once
// Set Filters: the filter dialog on a copy of the window's filter list; OK takes the edited list
// back, saves the user's filters to filter.ser and lets the lists use the edited versions.
#include <QObject>
#include <QPointer>
#include <QString>

#include "client/adapter/EngineCall.h"
#include "client/main/Workspace.h"

class QWidget;

namespace tarnwick {

class ClientConfig;
class FilterDialog;
class MessageSink;

class FilterCommands : public QObject {
    Q_OBJECT
  public:
    FilterCommands(Workspace workspace, MessageSink& messages, const ClientConfig& config,
                   QString filterFile, QWidget* window);

    // Opens the dialog (it returns at once; the dialog is open until the user closes it).
    void setFilters(IExeContext* session);
    // The open dialog, or null.
    FilterDialog* dialog() const;

  signals:
    // The dialog was closed with OK and its list taken over.
    void filtersChanged();

  private:
    void takeEditedList();

    Workspace workspace_;
    MessageSink& messages_;
    const ClientConfig& config_;
    QString filterFile_;
    QWidget* window_;
    QPointer<FilterDialog> dialog_;
};

} // namespace tarnwick
