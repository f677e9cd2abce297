#include "client/filtereditor/FilterNameDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "client/filtereditor/FilterEditorTexts.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace filtereditor;

FilterNameDialog::FilterNameDialog(MessageSink& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), edit_(new QLineEdit(this)) {
    setWindowTitle(QString::fromLatin1(kNameDialogCaption));
    edit_->setAccessibleName(QString::fromLatin1(kFilterNameCaption));
    auto* label = new QLabel(QString::fromLatin1(kFilterNameCaption), this);
    label->setBuddy(edit_);
    auto* form = new QFormLayout;
    form->addRow(label, edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterNameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterNameDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void FilterNameDialog::setName(const QString& name) {
    edit_->setText(name);
    edit_->selectAll();
}

QString FilterNameDialog::name() const {
    return edit_->text();
}

void FilterNameDialog::accept() {
    if (name().isEmpty()) {
        messages_.Inform(this, QString::fromLatin1(kNameEmpty));
        return;
    }
    if (taken_.contains(name(), Qt::CaseSensitive)) {
        messages_.Inform(this, QString::fromLatin1(kNameTaken));
        return;
    }
    QDialog::accept();
}

} // namespace tarnwick
