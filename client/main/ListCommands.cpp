#include "client/main/ListCommands.h"

#include <QMenu>
#include <QWidget>

#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/main/FilterMenu.h"
#include "client/panes/DetailTabs.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kConfirmDelete = "Do you really want to delete these records?";

// The name of a filter set, or a null text when there is none.
QString FilterName(IBugFilterSet* filter) {
    if (!filter) return QString();
    QString name;
    Attempt([&] { name = Text(filter, &IBugFilterSet::get_Name); }, [](const EngineFailure&) {});
    return name.isNull() ? QStringLiteral("") : name;
}

} // namespace

ListCommands::ListCommands(Workspace workspace, MessageSink& messages, QWidget* window)
    : QObject(window), workspace_(workspace), messages_(messages), window_(window) {}

void ListCommands::refresh() {
    workspace_.shownList()->Refresh();
}

void ListCommands::deleteSelected() {
    BugListView* list = workspace_.shownList();
    if (list->SelectedBugID() == 0) return;
    if (!messages_.Confirm(window_, QString::fromLatin1(kConfirmDelete))) return;
    if (list->SelectedCount() == 1)
        list->DeleteBug(list->SelectedBugID());
    else
        list->DeleteSelected();
}

bool ListCommands::shownListFiltered() const {
    return static_cast<bool>(workspace_.shownList()->GetFilter());
}

void ListCommands::toggleFilter() {
    BugListView* list = workspace_.shownList();
    if (list->GetFilter())
        list->SetFilter(nullptr);
    else
        list->SetFilter(workspace_.filters->GetAt(0));
}

void ListCommands::chooseFilter(int position) {
    const ComPtr<IBugFilterSet> filter = workspace_.filters->GetAt(position);
    if (filter) workspace_.shownList()->SetFilter(filter);
}

void ListCommands::fillFilterMenu(QMenu& menu) const {
    QStringList names;
    for (int i = 0; i < workspace_.filters->Count(); ++i)
        names.append(FilterName(workspace_.filters->GetAt(i).Get()));
    const ComPtr<IBugFilterSet> current = workspace_.shownList()->GetFilter();
    FillFilterMenu(menu, names, workspace_.filters->PredefinedCount(),
                   current ? FilterName(current.Get()) : QString());
}

void ListCommands::showSelection(IExeContext* session) {
    const ComPtr<IBug> bug = workspace_.shownList()->SelectedBug();
    if (const auto failure = workspace_.details->showBug(bug.Get(), session))
        emit detailFailed(failure->text);
}

} // namespace tarnwick
