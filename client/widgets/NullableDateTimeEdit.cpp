#include "client/widgets/NullableDateTimeEdit.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>

#include "client/config/OleDate.h"

namespace tarnwick {

namespace {

// Four-digit years: dates before 1900 must not read as two-digit ones.
const QString kDefaultFormat = QStringLiteral("yyyy-MM-dd HH:mm");
// Shown at the minimum while there is no date; a space, because an empty text turns it off.
const QString kNoDateText = QStringLiteral(" ");

// The edit works in UTC so that every wall-clock time is representable: in local time a time
// that falls into a daylight-saving gap would be moved by an hour on its way through.
QDateTime WallClock(const QDateTime& value) {
    return QDateTime(value.date(), value.time(), Qt::UTC);
}

// The years automation dates cover.
const QDateTime kFirst(QDate(100, 1, 1), QTime(0, 0), Qt::UTC);
const QDateTime kLast(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC);

bool IsInputEvent(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

NullableDateTimeEdit::NullableDateTimeEdit(QWidget* parent)
    : QWidget(parent), check_(new QCheckBox(this)), edit_(new QDateTimeEdit(this)) {
    edit_->setTimeSpec(Qt::UTC);
    edit_->setDateTimeRange(kFirst, kLast);
    edit_->setCalendarPopup(true);
    edit_->setDisplayFormat(kDefaultFormat);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(check_);
    layout->addWidget(edit_, 1);
    setFocusProxy(check_);

    check_->installEventFilter(this);
    showNoDate();

    connect(check_, &QCheckBox::toggled, this, &NullableDateTimeEdit::onCheckToggled);
    connect(edit_, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (updating_) return;
        takeEditedDateTime();
        reportIfChanged();
    });
}

DATE NullableDateTimeEdit::value() const {
    return hasDate() ? OleDateFromDateTime(held_) : kNoDate;
}

void NullableDateTimeEdit::setValue(DATE value) {
    // Date and time are read apart: the local date-time is invalid when it falls into a
    // daylight-saving gap, yet its date and time are the wall clock wanted here.
    const QDateTime local = DateTimeFromOleDate(value);
    const QDateTime wallClock(local.date(), local.time(), Qt::UTC);
    updating_ = true;
    if (wallClock.isValid() && OleDateFromDateTime(wallClock) != kNoDate) {
        showDateTime(wallClock);
        check_->setChecked(true);
    } else {
        check_->setChecked(false);
        showNoDate();
    }
    updating_ = false;
    reportIfChanged();
}

bool NullableDateTimeEdit::hasDate() const {
    return check_->isChecked();
}

void NullableDateTimeEdit::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    edit_->setReadOnly(readOnly);
}

bool NullableDateTimeEdit::isReadOnly() const {
    return readOnly_;
}

void NullableDateTimeEdit::setDisplayFormat(const QString& format) {
    edit_->setDisplayFormat(format);
    // Changing the format may reset what it does not show; the held value stays as it was.
    updating_ = true;
    if (hasDate())
        showDateTime(held_);
    else
        showNoDate();
    updating_ = false;
}

QString NullableDateTimeEdit::displayFormat() const {
    return edit_->displayFormat();
}

void NullableDateTimeEdit::setAccessibleName(const QString& caption) {
    QWidget::setAccessibleName(caption);
    check_->setAccessibleName(caption + QStringLiteral(" set"));
    edit_->setAccessibleName(caption);
}

bool NullableDateTimeEdit::eventFilter(QObject* watched, QEvent* event) {
    // A check box has no read-only state of its own, so its input is swallowed here.
    if (watched == check_ && readOnly_ && IsInputEvent(event)) return true;
    return QWidget::eventFilter(watched, event);
}

void NullableDateTimeEdit::onCheckToggled(bool checked) {
    if (updating_) return;
    if (checked) {
        const QDateTime now = QDateTime::currentDateTime();
        updating_ = true;
        showDateTime(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
        updating_ = false;
    } else {
        updating_ = true;
        showNoDate();
        updating_ = false;
    }
    reportIfChanged();
}

void NullableDateTimeEdit::takeEditedDateTime() {
    const QDateTime edited = edit_->dateTime();
    const bool showsTime = (edit_->displayedSections() & QDateTimeEdit::TimeSections_Mask) != 0;
    held_ = QDateTime(edited.date(), showsTime ? edited.time() : held_.time(), Qt::UTC);
}

void NullableDateTimeEdit::showDateTime(const QDateTime& wallClock) {
    held_ = WallClock(wallClock);
    edit_->setSpecialValueText(QString());
    edit_->setDateTime(held_);
    edit_->setEnabled(true);
}

void NullableDateTimeEdit::showNoDate() {
    // The minimum with a blank special text leaves the disabled edit empty.
    edit_->setEnabled(false);
    edit_->setDateTime(kFirst);
    edit_->setSpecialValueText(kNoDateText);
}

void NullableDateTimeEdit::reportIfChanged() {
    const DATE current = value();
    if (current == reported_) return;
    reported_ = current;
    emit valueChanged(current);
}

} // namespace tarnwick
