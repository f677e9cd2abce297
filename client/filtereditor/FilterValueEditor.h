#pragma once
// The value editor of a condition, which changes with the kind of field chosen: a one-line edit
// with a "..." button that appends wildcards for texts, a drop-down list for list fields and a
// date picker for dates.
#include <QStringList>
#include <QWidget>

#include <velmora/ComSupport.h>

#include "client/filtereditor/FilterFieldCaptions.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QToolButton;

namespace tarnwick {

class NullableDateTimeEdit;

class FilterValueEditor : public QWidget {
    Q_OBJECT

  public:
    explicit FilterValueEditor(QWidget* parent = nullptr);

    // Shows the control of the kind. A date picker without a date is given today's date, so a
    // new date condition starts from a real day.
    void setKind(FilterValueKind kind);
    FilterValueKind kind() const { return kind_; }

    // The entries of the drop-down list; the first one is chosen.
    void setEntries(const QStringList& entries);

    // Shows a condition's value in the current control: a text in the edit or chosen in the list
    // (no entry is chosen when the list lacks it), a date in the picker. Values of another type
    // leave the control empty.
    void setValue(const VARIANT& value);
    // The value of the current control: a text for the text and list kinds, for the date kind the
    // picked day at 00:00:00 (0.0 when the picker holds no date).
    velmora::com::Variant value() const;

    QLineEdit* textEdit() const { return text_; }
    QToolButton* wildcardButton() const { return wildcards_; }
    QMenu* wildcardMenu() const { return menu_; }
    QComboBox* listBox() const { return list_; }
    NullableDateTimeEdit* datePicker() const { return date_; }
    // The control the current kind shows.
    QWidget* currentControl() const;

  private:
    void appendWildcard(const char* wildcard);

    FilterValueKind kind_ = FilterValueKind::Text;
    QStackedWidget* stack_;
    QWidget* textPage_;
    QLineEdit* text_;
    QToolButton* wildcards_;
    QMenu* menu_;
    QComboBox* list_;
    NullableDateTimeEdit* date_;
};

} // namespace tarnwick
