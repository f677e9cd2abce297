#include "client/admin/AddVersionDialog.h"

#include <QDate>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include "client/admin/AdminControls.h"
#include "client/admin/AdminTexts.h"
#include "client/config/OleDate.h"
#include "client/widgets/NullableDateTimeEdit.h"

namespace tarnwick::admin {

namespace texts = admin_texts::version_dialog;

AddVersionDialog::AddVersionDialog(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), date_(new NullableDateTimeEdit(this)),
      description_(new QLineEdit(this)) {
    setWindowTitle(Caption(texts::kCaption));
    auto* group = new QGroupBox(Caption(texts::kGroup), this);
    auto* form = new QFormLayout(group);
    form->addRow(CaptionFor(name_, texts::kName, group), name_);
    // A release date is a day: the time of day is neither shown nor asked for.
    date_->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    date_->setAccessibleName(Caption(texts::kReleaseDate));
    auto* dateLabel = new QLabel(Caption(texts::kReleaseDate), group);
    dateLabel->setBuddy(date_->dateTimeEdit());
    form->addRow(dateLabel, date_);
    form->addRow(CaptionFor(description_, texts::kDescription, group), description_);
    date_->setValue(OleDateFromDate(QDate::currentDate()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void AddVersionDialog::setVersion(const QString& name, const QString& description,
                                  DATE releaseDate) {
    name_->setText(name);
    description_->setText(description);
    date_->setValue(releaseDate);
}

QString AddVersionDialog::name() const {
    return name_->text();
}

QString AddVersionDialog::description() const {
    return description_->text();
}

DATE AddVersionDialog::releaseDate() const {
    return date_->value();
}

} // namespace tarnwick::admin
