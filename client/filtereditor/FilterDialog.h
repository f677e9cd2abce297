#pragma once
// The filter editor: creates, renames, copies into and deletes filter sets and edits their
// conditions. It works on a private copy of the filter list it is given, so Cancel leaves the
// caller's filters as they were; after OK the caller takes editedList().
//
// Driven by open() and signals: New and Rename open a FilterNameDialog, Copy To a
// SelectFilterDialog, each shown window-modal over this one and reachable while open.
#include <QDialog>
#include <QPointer>
#include <QString>

#include <optional>

#include "client/adapter/EngineCall.h"
#include "client/filters/FilterList.h"

class QComboBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace tarnwick {

class FilterNameDialog;
class FilterValueEditor;
class MessageSink;
class SelectFilterDialog;

class FilterDialog : public QDialog {
    Q_OBJECT
  public:
    FilterDialog(ComPtr<IExeContext> session, const FilterList& list, MessageSink& messages,
                 QWidget* parent = nullptr);
    ~FilterDialog() override;

    // Lists the filters, chooses the first and shows its conditions. When the list could not be
    // copied or read the engine's message is shown and the dialog ends as rejected without
    // appearing.
    void open() override;

    // The edited copy: what OK hands back.
    const FilterList& editedList() const { return list_; }

    // The client's stored date format for dates in the condition list (empty: the locale's).
    void setDateFormat(const QString& storedFormat);

    // The commands behind the buttons.
    void newFilter();
    void renameFilter();
    void deleteFilter();
    void copyTo();
    void addCondition();
    void deleteCondition();
    void apply();

    // The dialog New, Rename or Copy To opened, while it is open.
    FilterNameDialog* nameDialog() const;
    SelectFilterDialog* selectFilterDialog() const;

    QListWidget* nameList() const { return names_; }
    QTreeWidget* conditionList() const { return conditions_; }
    QComboBox* andOrEditor() const { return andOr_; }
    QComboBox* fieldEditor() const { return field_; }
    QComboBox* conditionEditor() const { return condition_; }
    FilterValueEditor* valueEditor() const { return value_; }
    QPushButton* newButton() const { return new_; }
    QPushButton* copyToButton() const { return copyTo_; }
    QPushButton* renameButton() const { return rename_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* addConditionButton() const { return addCondition_; }
    QPushButton* deleteConditionButton() const { return deleteCondition_; }
    QPushButton* applyButton() const { return apply_; }

  private:
    void buildLayout();
    // Every step that talks to the engine runs through here: a failure shows its message.
    template <class Work> bool Run(Work&& work);

    // The chosen filter set and the selected condition row (-1 for none).
    ComPtr<IBugFilterSet> currentSet() const;
    int selectedRow() const;

    void fillNames();
    void chooseFilter(int index);
    void showConditions();
    void showRow(int row, IBugFilter* filter);
    void blankFirstAndOr();
    QString valueText(const VARIANT& value) const;

    void prepareField(int fieldIndex);
    void loadRow(int row);
    void writeEditors(IBugFilter* filter) const;

    void addNamedFilter(const QString& name);
    void renameFilterAt(int index, const QString& name);
    void copyConditionsTo(int targetIndex);
    int indexOfName(const QString& name) const;

    ComPtr<IExeContext> session_;
    MessageSink& messages_;
    FilterList list_;
    // Why the list could not be copied; shown by open().
    std::optional<QString> copyFailure_;
    QString dateFormat_;
    // Set while the dialog itself moves the selection or fills the editors, so that the
    // handlers meant for the user's clicks stay out of it.
    bool updating_ = false;

    QListWidget* names_;
    QPushButton* new_;
    QPushButton* copyTo_;
    QPushButton* rename_;
    QPushButton* delete_;
    QTreeWidget* conditions_;
    QPushButton* addCondition_;
    QPushButton* deleteCondition_;
    QComboBox* andOr_;
    QComboBox* field_;
    QComboBox* condition_;
    FilterValueEditor* value_;
    QPushButton* apply_;
    QPointer<FilterNameDialog> nameDialog_;
    QPointer<SelectFilterDialog> selectDialog_;
};

} // namespace tarnwick
