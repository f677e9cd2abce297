#include "client/server/OpenServerDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/adapter/EngineCall.h"
#include "client/options/OptionsTexts.h"
#include "client/options/ProbeSession.h"
#include "client/server/ServerDataSource.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kTitle = "Open Server";
const char* const kUriCaption = "Server &URI:";
const char* const kUriPlaceholder = "postgresql://user@host:5432/team";
const char* const kTestCaption = "&Test";
const char* const kHelp =
    "Keep the password out of the URI: put it in ~/.pgpass, where only you can read it.";
const char* const kEmptyUri = "Please enter the server's URI, for example "
                              "postgresql://user@host:5432/team.";
const char* const kNotAUri = "This is not a server URI. A server URI begins with "
                             "postgresql:// or postgres://, for example "
                             "postgresql://user@host:5432/team.";
// The Test button says what the Options dialog's Test says.
const char* const kTestSucceeded = options_texts::kTestSucceeded;
const char* const kTestFailed = options_texts::kTestFailed;

QString Latin(const char* text) {
    return QString::fromLatin1(text);
}

// A control's name for screen readers: its caption without the mnemonic marker.
QString SpokenName(const char* caption) {
    return Latin(caption).remove(QLatin1Char('&'));
}

// Restores the normal cursor when the work is done, however it ends.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

OpenServerDialog::OpenServerDialog(MessageSink& messages, QString mainDatabase, QWidget* parent)
    : QDialog(parent), messages_(messages), mainDatabase_(std::move(mainDatabase)) {
    setWindowTitle(Latin(kTitle));
    auto* uriLabel = new QLabel(Latin(kUriCaption), this);
    uri_ = new QLineEdit(this);
    uri_->setPlaceholderText(Latin(kUriPlaceholder));
    uri_->setAccessibleName(SpokenName(kUriCaption));
    uri_->setMinimumWidth(uri_->fontMetrics().horizontalAdvance(Latin(kUriPlaceholder)) * 3 / 2);
    uriLabel->setBuddy(uri_);
    test_ = new QPushButton(Latin(kTestCaption), this);
    test_->setAccessibleName(SpokenName(kTestCaption));
    test_->setAutoDefault(false);
    help_ = new QLabel(Latin(kHelp), this);
    help_->setAccessibleName(Latin(kHelp));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton()->setAccessibleName(okButton()->text().remove(QLatin1Char('&')));
    cancelButton()->setAccessibleName(cancelButton()->text().remove(QLatin1Char('&')));

    auto* uriRow = new QHBoxLayout;
    uriRow->addWidget(uriLabel);
    uriRow->addWidget(uri_, 1);
    uriRow->addWidget(test_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(uriRow);
    layout->addWidget(help_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(test_, &QPushButton::clicked, this, &OpenServerDialog::runTest);
    connect(buttons_, &QDialogButtonBox::accepted, this, &OpenServerDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &OpenServerDialog::reject);
}

QPushButton* OpenServerDialog::okButton() const {
    return buttons_->button(QDialogButtonBox::Ok);
}

QPushButton* OpenServerDialog::cancelButton() const {
    return buttons_->button(QDialogButtonBox::Cancel);
}

QString OpenServerDialog::uri() const {
    return uri_->text().trimmed();
}

QString OpenServerDialog::uriProblem() const {
    const QString text = uri();
    if (text.isEmpty()) return Latin(kEmptyUri);
    // Anything else would be taken for a file's path and opened (or not) as one.
    if (!IsServerDataSource(text)) return Latin(kNotAUri);
    return {};
}

void OpenServerDialog::accept() {
    if (const QString problem = uriProblem(); !problem.isEmpty()) {
        messages_.Inform(this, problem);
        uri_->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

void OpenServerDialog::runTest() {
    if (const QString problem = uriProblem(); !problem.isEmpty()) {
        messages_.Inform(this, problem);
        return;
    }
    const QString dataSource = uri();
    QString reason;
    const bool succeeded = Attempt(
        [&] {
            const WaitCursor waiting;
            const ProbeSession session(dataSource, mainDatabase_);
        },
        [&](const EngineFailure& failure) { reason = MaskedInText(failure.text, dataSource); });
    if (succeeded)
        messages_.Inform(this, Latin(kTestSucceeded));
    else
        messages_.Inform(this, reason.isEmpty() ? Latin(kTestFailed)
                                                : Latin(kTestFailed) + QLatin1Char('\n') + reason);
}

} // namespace tarnwick
