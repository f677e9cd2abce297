#pragma once
// The question after a refused update when both people changed the same fields: one row per
// clashing field with both values side by side and a choice per row. OK is enabled once every
// row has a choice. Run it with open(); its result and choices() tell the caller what to do.
#include <QDialog>
#include <QList>
#include <QMap>

#include "client/merge/BugFields.h"
#include "client/merge/BugMerge.h"
#include "client/merge/FieldValueText.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace tarnwick {

class MergeDialog : public QDialog {
    Q_OBJECT

  public:
    MergeDialog(const QList<BugField>& clashes, const BugFields& mine, const BugFields& theirs,
                const IdName& names, QWidget* parent = nullptr);

    const QList<BugField>& clashes() const { return clashes_; }
    // The choices made so far; a row without a choice is missing.
    QMap<BugField, MergeSide> choices() const;
    // Whether every row has a choice.
    bool isComplete() const;

    void choose(BugField field, MergeSide side);
    void chooseAll(MergeSide side);

    // The controls, for the keyboard and for tests.
    QRadioButton* choiceButton(BugField field, MergeSide side) const;
    QPushButton* keepAllMineButton() const { return keepAllMine_; }
    QPushButton* keepAllTheirsButton() const { return keepAllTheirs_; }
    QPushButton* okButton() const { return ok_; }
    // The text a row shows for one side.
    QString valueText(BugField field, MergeSide side) const;

  private:
    struct Row {
        BugField field = BugField::Description;
        QButtonGroup* choice = nullptr;
        QRadioButton* mine = nullptr;
        QRadioButton* theirs = nullptr;
        QString mineText;
        QString theirsText;
    };

    const Row* rowOf(BugField field) const;
    void updateOk();

    QList<BugField> clashes_;
    QList<Row> rows_;
    QPushButton* keepAllMine_ = nullptr;
    QPushButton* keepAllTheirs_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace tarnwick
