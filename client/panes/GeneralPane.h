#pragma once
// The "General" tab: the bug's short fields, read-only.
#include <QLineEdit>
#include <QList>

#include "client/panes/DetailPane.h"

namespace tarnwick {

class GeneralPane : public DetailPane {
    Q_OBJECT
  public:
    GeneralPane(DateFormatter formatDate, QWidget* parent = nullptr);
    void showBug(IBug* bug) override;
    // The shown text of the field with this caption (for tests and screen readers).
    QString fieldText(const QString& caption) const;

  private:
    struct Field {
        QString caption;
        QLineEdit* edit;
    };
    QLineEdit* add(const QString& caption);
    DateFormatter formatDate_;
    QList<Field> fields_;
};

} // namespace tarnwick
