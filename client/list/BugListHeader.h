#pragma once
// The column header of a bug list. Qt's styles draw a downward arrow for ascending order; the
// list shows an up arrow for ascending and a down arrow for descending, as its users expect.
#include <QHeaderView>

namespace tarnwick {

class BugListHeader : public QHeaderView {
    Q_OBJECT
  public:
    explicit BugListHeader(QWidget* parent = nullptr) : QHeaderView(Qt::Horizontal, parent) {
        setAccessibleName(QStringLiteral("Columns"));
    }

  protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

} // namespace tarnwick
