#include "client/editor/BugSheet.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

// The dialog's captions, questions and remembered settings.
const QString kOk = QStringLiteral("OK");
const QString kCancel = QStringLiteral("Cancel");
const QString kPages = QStringLiteral("Bug pages");
const QString kDiscardQuestion = QStringLiteral("Discard the changes to this bug?");
const QString kSettingsGroup = QStringLiteral("BugEditor");
const QString kSizeKey = QStringLiteral("size");
constexpr QSize kDefaultSize(820, 560);

} // namespace

BugSheet::BugSheet(ComPtr<IExeContext> session, const QString& caption, MessageSink& messages,
                   QWidget* parent)
    : QDialog(parent), messages_(messages) {
    state_.session = std::move(session);
    setWindowTitle(caption);
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(kPages);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons_->button(QDialogButtonBox::Ok);
    ok_->setText(kOk);
    ok_->setAccessibleName(kOk);
    cancel_ = buttons_->button(QDialogButtonBox::Cancel);
    cancel_->setText(kCancel);
    cancel_->setAccessibleName(kCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &BugSheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &BugSheet::reject);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (isVisible()) loadPage(index);
    });
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, &BugSheet::accept);
    }
    restoreSize();
}

void BugSheet::addPage(EditorPage* page) {
    pages_.append(page);
    pageStates_.append(PageState::NotLoaded);
    tabs_->addTab(page, page->title());
}

void BugSheet::setBug(ComPtr<IBug> bugOrNull, BugEditorState::Mode mode) {
    state_.mode = mode;
    state_.bug = std::move(bugOrNull);
    state_.right = {};
    const bool created = Attempt(
        [&] {
            if (!state_.bug) state_.bug = Create<IBug>(CLSID_Bug, IID_IBug);
            // A session without a current right (or that cannot read it) edits with a right
            // that allows nothing.
            if (state_.session)
                Attempt(
                    [&] {
                        state_.right = Object(state_.session.Get(), &IExeContext::get_CurRight);
                    },
                    [](const EngineFailure&) {});
            if (!state_.right) state_.right = Create<IRight>(CLSID_Right, IID_IRight);
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    if (!created) ok_->setEnabled(false);
}

void BugSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    loadPage(tabs_->currentIndex());
}

void BugSheet::loadPage(int index) {
    if (index < 0 || index >= pages_.size() || !state_.bug) return;
    if (pageStates_[index] != PageState::NotLoaded) return;
    EditorPage* page = pages_[index];
    const bool loaded =
        Attempt([&] { page->load(state_); },
                [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    // A page that could not be read is never written back: half-filled controls would overwrite
    // the bug with wrong values.
    pageStates_[index] = loaded ? PageState::Loaded : PageState::Failed;
    if (!loaded) page->setEnabled(false);
}

bool BugSheet::anyModified() const {
    for (int i = 0; i < pages_.size(); ++i)
        if (pageStates_[i] == PageState::Loaded && pages_[i]->isModified()) return true;
    return false;
}

void BugSheet::accept() {
    if (waiting_ || !state_.bug || !ok_->isEnabled()) return;
    const bool saved = Attempt(
        [&] {
            for (int i = 0; i < pages_.size(); ++i)
                if (pageStates_[i] == PageState::Loaded) pages_[i]->save(state_);
        },
        [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
    if (!saved) return;
    if (!deferredStore_) {
        QDialog::accept();
        return;
    }
    setWaiting(true);
    emit saveRequested();
}

void BugSheet::finishSave(bool stored) {
    if (!waiting_) return;
    setWaiting(false);
    if (stored) QDialog::accept();
}

void BugSheet::setWaiting(bool waiting) {
    waiting_ = waiting;
    ok_->setEnabled(!waiting);
    // While the owner stores the bug the outcome is not the dialog's to cancel.
    cancel_->setEnabled(!waiting);
}

void BugSheet::reject() {
    if (waiting_) return;
    if (anyModified() && !messages_.Confirm(this, kDiscardQuestion)) return;
    QDialog::reject();
}

void BugSheet::done(int result) {
    rememberSize();
    QDialog::done(result);
}

void BugSheet::restoreSize() {
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    const QSize size = settings.value(kSizeKey).toSize();
    resize(size.isValid() && !size.isEmpty() ? size : kDefaultSize);
}

void BugSheet::rememberSize() const {
    QSettings settings;
    settings.beginGroup(kSettingsGroup);
    settings.setValue(kSizeKey, size());
}

} // namespace tarnwick
