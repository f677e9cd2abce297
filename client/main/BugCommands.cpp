#include "client/main/BugCommands.h"

#include <QWidget>

#include <memory>

#include "client/attachments/ApplyPendingFiles.h"
#include "client/attachments/AttachmentPage.h"
#include "client/config/ClientConfig.h"
#include "client/editor/BugSheet.h"
#include "client/editor/GeneralPage.h"
#include "client/list/BugListView.h"
#include "client/merge/BugFields.h"
#include "client/merge/ConflictAwareUpdate.h"
#include "client/richtext/ReportPage.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kNewBug = "New Bug";
const char* const kNewFeature = "New Feature";
const char* const kEditBug = "Edit Bug";
const char* const kEditFeature = "Edit Feature";
constexpr int kReportPages = 4;

} // namespace

BugCommands::BugCommands(Workspace workspace, MessageSink& messages, const ClientConfig& config,
                         QWidget* window)
    : QObject(window), workspace_(workspace), messages_(messages), config_(config),
      window_(window) {}

BugSheet* BugCommands::editor() const {
    return editor_;
}

void BugCommands::reportBug(IExeContext* session) {
    report(session, false);
}

void BugCommands::reportFeature(IExeContext* session) {
    report(session, true);
}

BugSheet* BugCommands::openEditor(IExeContext* session, const QString& caption) {
    if (editor_ || !session) return nullptr;
    auto* sheet = new BugSheet(ComPtr<IExeContext>(session), caption, messages_, window_);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->addPage(new GeneralPage(sheet));
    for (int page = 0; page < kReportPages; ++page)
        sheet->addPage(new ReportPage(page, sheet));
    attachments_ = new AttachmentPage(messages_, sheet);
    attachments_->setDateFormat(config_.DateFormat);
    sheet->addPage(attachments_);
    sheet->setDeferredStore(true);
    editor_ = sheet;
    return sheet;
}

ComPtr<IBug> BugCommands::addThrough(BugListView* list, IBug* bug, bool feature) {
    const bool typed = Attempt([&] { Check(bug->put_BugType(feature ? eFeature : eBug)); },
                               [&](const EngineFailure& f) { messages_.Inform(editor_, f.text); });
    if (!typed) return {};
    return list->AddBug(bug);
}

void BugCommands::report(IExeContext* session, bool feature) {
    BugSheet* sheet = openEditor(session, QString::fromLatin1(feature ? kNewFeature : kNewBug));
    if (!sheet) return;
    const bool ready = Attempt([&] { sheet->setBug(nullptr, BugEditorState::New); },
                               [&](const EngineFailure& f) { messages_.Inform(window_, f.text); });
    if (!ready) {
        delete sheet;
        return;
    }
    BugListView* list = feature ? workspace_.features : workspace_.bugs;
    connect(sheet, &BugSheet::saveRequested, this, [this, sheet, list, feature] {
        const ComPtr<IBug> stored = addThrough(list, sheet->bug().Get(), feature);
        if (!stored) {
            sheet->finishSave(false);
            return;
        }
        storeFilesAndClose(stored.Get(), list);
    });
    sheet->open();
}

void BugCommands::edit(IExeContext* session) {
    BugListView* list = workspace_.shownList();
    const bool feature = list == workspace_.features;
    list->Refresh();
    const ComPtr<IBug> bug = list->SelectedBug();
    if (!bug || editor_) return;
    // The bug as read: what a colleague's later change is told apart from.
    BugFields snapshot;
    if (!Attempt([&] { snapshot = ReadBugFields(bug.Get()); },
                 [&](const EngineFailure& f) { messages_.Inform(window_, f.text); }))
        return;
    BugSheet* sheet = openEditor(session, QString::fromLatin1(feature ? kEditFeature : kEditBug));
    if (!sheet) return;
    const bool ready = Attempt([&] { sheet->setBug(bug, BugEditorState::Edit); },
                               [&](const EngineFailure& f) { messages_.Inform(window_, f.text); });
    if (!ready) {
        delete sheet;
        return;
    }
    ComPtr<IExeContext> held(session);
    connect(sheet, &BugSheet::saveRequested, this, [this, sheet, list, feature, snapshot, held] {
        // A colleague deleted the bug meanwhile and the user wants the edit reported anew.
        auto reportedAnew = std::make_shared<ComPtr<IBug>>();
        auto reportAsNew = [list, feature, reportedAnew](IBug* edited) {
            Check(edited->put_BugType(feature ? eFeature : eBug));
            *reportedAnew = list->bugModel()->addBug(edited);
            if (!*reportedAnew) throw EngineFailure{E_FAIL, QString::fromLatin1(kAddingBugFailed)};
        };
        auto* update = new ConflictAwareUpdate(list->GetBugSet(), snapshot, sheet->bug(), held,
                                               messages_, sheet, reportAsNew, sheet);
        connect(update, &ConflictAwareUpdate::finished, this,
                [this, sheet, list, update, reportedAnew](ConflictAwareUpdate::Outcome outcome) {
                    update->deleteLater();
                    using Outcome = ConflictAwareUpdate::Outcome;
                    switch (outcome) {
                    case Outcome::StoredWithColleagueChanges:
                        emit notice(update->statusText());
                        [[fallthrough]];
                    case Outcome::Stored:
                        storeFilesAndClose(sheet->bug().Get(), list);
                        break;
                    case Outcome::ReportedAsNew:
                        // The old bug's files went with it: only the new ones can be stored.
                        storeFilesAndClose(reportedAnew->Get(), list, FileChanges::AdditionsOnly);
                        break;
                    case Outcome::Cancelled:
                    case Outcome::Failed:
                        list->Refresh();
                        sheet->finishSave(false);
                        break;
                    }
                });
        update->start();
    });
    sheet->open();
}

void BugCommands::storeFilesAndClose(IBug* stored, BugListView* list, FileChanges changes) {
    BugSheet* sheet = editor_;
    const auto finish = [this, sheet, list] {
        list->Refresh();
        if (sheet) sheet->finishSave(true);
        emit bugStored();
    };
    PendingFiles pending = attachments_->pendingFiles();
    if (changes == FileChanges::AdditionsOnly) {
        PendingFiles additions;
        for (const QString& path : pending.pathsToAdd())
            additions.addNew(path);
        pending = additions;
    }
    if (!pending.hasChanges()) {
        finish();
        return;
    }
    ComPtr<IFileSet> files;
    if (!Attempt([&] { files = Object(stored, &IBug::get_AttachedFiles); },
                 [&](const EngineFailure& f) { messages_.Inform(sheet, f.text); })) {
        finish();
        return;
    }
    auto* applier = new PendingFilesApplier(files, pending, messages_, sheet);
    connect(applier, &PendingFilesApplier::finished, this, [applier, finish](bool) {
        applier->deleteLater();
        finish();
    });
    applier->start();
}

} // namespace tarnwick
