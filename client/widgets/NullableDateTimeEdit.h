#pragma once
// A date-and-time picker that can also hold "no date" (the engine's 0.0): a check box says whether
// there is a date, and the date-time edit beside it is enabled and meaningful only while it is
// ticked. Ticking it on an empty picker fills in the current minute.
#include <QDateTime>
#include <QString>
#include <QWidget>

#include <velmora/Com.h>

class QCheckBox;
class QDateTimeEdit;

namespace tarnwick {

class NullableDateTimeEdit : public QWidget {
    Q_OBJECT

  public:
    explicit NullableDateTimeEdit(QWidget* parent = nullptr);

    // 0.0 without a date, otherwise the automation date of the wall-clock date and time shown.
    DATE value() const;
    // 0.0, not-a-number and values outside the years 100 to 9999 clear the date.
    void setValue(DATE value);
    bool hasDate() const;

    // Read-only pickers keep showing their value but neither part takes mouse or keyboard input.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;

    void setDisplayFormat(const QString& format);
    QString displayFormat() const;

    // Names the picker and its parts: the check box "<caption> set", the edit "<caption>".
    // Hides QWidget::setAccessibleName (not virtual), so call it through this class.
    void setAccessibleName(const QString& caption);

    QCheckBox* checkBox() const { return check_; }
    QDateTimeEdit* dateTimeEdit() const { return edit_; }

  signals:
    // Whenever the value changes, by the user or by setValue; never for an unchanged value.
    void valueChanged(DATE value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onCheckToggled(bool checked);
    void showDateTime(const QDateTime& wallClock);
    void showNoDate();
    void takeEditedDateTime();
    void reportIfChanged();

    QCheckBox* check_;
    QDateTimeEdit* edit_;
    // The wall-clock date and time held while ticked, to the millisecond: the edit itself drops
    // whatever its display format leaves out, the whole time of day for a date-only format.
    QDateTime held_;
    DATE reported_ = 0.0;
    bool readOnly_ = false;
    bool updating_ = false;
};

} // namespace tarnwick
