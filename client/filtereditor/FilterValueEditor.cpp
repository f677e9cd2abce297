#include "client/filtereditor/FilterValueEditor.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QStackedWidget>
#include <QToolButton>

#include "client/adapter/EngineCall.h"
#include "client/config/OleDate.h"
#include "client/filtereditor/FilterEditorTexts.h"
#include "client/widgets/NullableDateTimeEdit.h"

namespace tarnwick {

using namespace filtereditor;

FilterValueEditor::FilterValueEditor(QWidget* parent)
    : QWidget(parent), stack_(new QStackedWidget(this)), textPage_(new QWidget(stack_)),
      text_(new QLineEdit(textPage_)), wildcards_(new QToolButton(textPage_)),
      menu_(new QMenu(wildcards_)), list_(new QComboBox(stack_)),
      date_(new NullableDateTimeEdit(stack_)) {
    const QString valueName = QString::fromLatin1(kValueCaption);
    text_->setAccessibleName(valueName);
    wildcards_->setText(QString::fromLatin1(kWildcardCaption));
    wildcards_->setAccessibleName(QString::fromLatin1(kWildcardCaption));
    wildcards_->setPopupMode(QToolButton::InstantPopup);
    wildcards_->setMenu(menu_);
    connect(menu_->addAction(QString::fromLatin1(kAnyCharacter)), &QAction::triggered, this,
            [this] { appendWildcard(kAnyCharacterWildcard); });
    connect(menu_->addAction(QString::fromLatin1(kAnyOneCharacter)), &QAction::triggered, this,
            [this] { appendWildcard(kAnyOneCharacterWildcard); });
    auto* textRow = new QHBoxLayout(textPage_);
    textRow->setContentsMargins(0, 0, 0, 0);
    textRow->addWidget(text_, 1);
    textRow->addWidget(wildcards_);

    list_->setAccessibleName(valueName);
    date_->setAccessibleName(valueName);
    // Conditions compare whole days: the picker shows the day only.
    date_->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));

    stack_->addWidget(textPage_);
    stack_->addWidget(list_);
    stack_->addWidget(date_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    setFocusProxy(text_);
}

void FilterValueEditor::setKind(FilterValueKind kind) {
    kind_ = kind;
    stack_->setCurrentWidget(kind == FilterValueKind::Text   ? textPage_
                             : kind == FilterValueKind::List ? static_cast<QWidget*>(list_)
                                                             : date_);
    if (kind == FilterValueKind::Date && !date_->hasDate())
        date_->setValue(OleDateFromDate(QDate::currentDate()));
    setFocusProxy(currentControl());
}

QWidget* FilterValueEditor::currentControl() const {
    switch (kind_) {
    case FilterValueKind::Text:
        return text_;
    case FilterValueKind::List:
        return list_;
    case FilterValueKind::Date:
        return date_;
    }
    return text_;
}

void FilterValueEditor::setEntries(const QStringList& entries) {
    list_->clear();
    list_->addItems(entries);
    list_->setCurrentIndex(entries.isEmpty() ? -1 : 0);
}

void FilterValueEditor::setValue(const VARIANT& value) {
    const QString text = value.vt == VT_BSTR ? FromBstr(value.bstrVal) : QString();
    switch (kind_) {
    case FilterValueKind::Text:
        text_->setText(text);
        break;
    case FilterValueKind::List:
        list_->setCurrentIndex(
            list_->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        break;
    case FilterValueKind::Date:
        date_->setValue(value.vt == VT_DATE ? value.date : kNoDate);
        break;
    }
}

velmora::com::Variant FilterValueEditor::value() const {
    velmora::com::Variant value;
    if (kind_ == FilterValueKind::Date) {
        value.vt = VT_DATE;
        const QDate day = DateFromOleDate(date_->value());
        value.date = date_->hasDate() && day.isValid() ? OleDateFromDate(day) : kNoDate;
        return value;
    }
    value.vt = VT_BSTR;
    value.bstrVal =
        ToBstr(kind_ == FilterValueKind::Text ? text_->text() : list_->currentText()).Detach();
    return value;
}

void FilterValueEditor::appendWildcard(const char* wildcard) {
    text_->setText(text_->text() + QString::fromLatin1(wildcard));
    text_->setFocus();
}

} // namespace tarnwick
