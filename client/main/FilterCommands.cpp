#include "client/main/FilterCommands.h"

#include <QWidget>

#include "client/config/ClientConfig.h"
#include "client/filtereditor/FilterDialog.h"
#include "client/filters/FilterFile.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

// The name of a filter set, or an empty text when it cannot be read.
QString NameOf(IBugFilterSet* filter) {
    QString name;
    Attempt([&] { name = Text(filter, &IBugFilterSet::get_Name); }, [](const EngineFailure&) {});
    return name;
}

// A list showing a filter goes on with the edited set of the same name, or with none when the
// set was deleted or renamed in the dialog.
void FollowEditedFilter(BugListView* list, const FilterList& filters) {
    const ComPtr<IBugFilterSet> current = list->GetFilter();
    if (!current) return;
    list->SetFilter(filters.FindByName(NameOf(current.Get())));
}

} // namespace

FilterCommands::FilterCommands(Workspace workspace, MessageSink& messages,
                               const ClientConfig& config, QString filterFile, QWidget* window)
    : QObject(window), workspace_(workspace), messages_(messages), config_(config),
      filterFile_(std::move(filterFile)), window_(window) {}

FilterDialog* FilterCommands::dialog() const {
    return dialog_;
}

void FilterCommands::setFilters(IExeContext* session) {
    if (dialog_ || !session) return;
    ComPtr<IExeContext> held(session);
    Attempt(
        [&] {
            dialog_ = new FilterDialog(held, *workspace_.filters, messages_, window_);
            dialog_->setDateFormat(config_.DateFormat);
        },
        [&](const EngineFailure& failure) { messages_.Inform(window_, failure.text); });
    if (!dialog_) return;
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QDialog::accepted, this, &FilterCommands::takeEditedList);
    dialog_->open();
}

void FilterCommands::takeEditedList() {
    const bool copied = Attempt([&] { workspace_.filters->Copy(dialog_->editedList()); },
                                [&](const EngineFailure& f) { messages_.Inform(window_, f.text); });
    if (!copied) return;
    FollowEditedFilter(workspace_.bugs, *workspace_.filters);
    FollowEditedFilter(workspace_.features, *workspace_.filters);
    bool saved = false;
    Attempt([&] { saved = SaveFilterFile(filterFile_, *workspace_.filters); },
            [](const EngineFailure&) {});
    if (!saved) messages_.Inform(window_, QString::fromLatin1(kSaveFilterFileFailed));
    emit filtersChanged();
}

} // namespace tarnwick
