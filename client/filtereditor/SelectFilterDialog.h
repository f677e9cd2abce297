#pragma once
// Chooses the filter that Copy To appends the current filter's conditions to.
#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace tarnwick {

class SelectFilterDialog : public QDialog {
    Q_OBJECT
  public:
    // names: every filter, in the filter list's order; the first is chosen.
    explicit SelectFilterDialog(const QStringList& names, QWidget* parent = nullptr);

    // The position of the chosen filter in names, -1 when none is chosen.
    int chosenIndex() const;

    QListWidget* filterList() const { return list_; }
    QPushButton* copyButton() const { return copy_; }

    // Closes only with a filter chosen.
    void accept() override;

  private:
    QListWidget* list_;
    QPushButton* copy_;
};

} // namespace tarnwick
