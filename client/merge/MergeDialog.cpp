#include "client/merge/MergeDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "client/merge/MergeTexts.h"

namespace tarnwick {
namespace {

QString Latin(const char* text) {
    return QString::fromLatin1(text);
}

// About how many lines a value takes in its view, wrapped lines counted, at most 8: both values
// of a row get the height of the longer one, so they read side by side.
int LinesOf(const QString& text) {
    constexpr int kCharactersPerLine = 40;
    int lines = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        lines += 1 + static_cast<int>(paragraph.size()) / kCharactersPerLine;
    return std::min(8, lines);
}

// A read-only view of one value; long rich texts scroll inside it.
QPlainTextEdit* ValueView(const QString& text, int lines, const QString& name, const QString& field,
                          QWidget* parent) {
    auto* view = new QPlainTextEdit(text, parent);
    view->setReadOnly(true);
    view->setAccessibleName(name);
    view->setAccessibleDescription(field);
    view->setFixedHeight(view->fontMetrics().lineSpacing() * lines + 12);
    view->setMinimumWidth(220);
    return view;
}

QLabel* Header(const char* text, QWidget* parent) {
    auto* label = new QLabel(Latin(text), parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

MergeDialog::MergeDialog(const QList<BugField>& clashes, const BugFields& mine,
                         const BugFields& theirs, const IdName& names, QWidget* parent)
    : QDialog(parent), clashes_(clashes) {
    setWindowTitle(Latin(merge_texts::kDialogTitle));

    auto* explanation = new QLabel(Latin(merge_texts::kExplanation), this);
    explanation->setWordWrap(true);

    auto* table = new QWidget;
    auto* grid = new QGridLayout(table);
    grid->addWidget(Header(merge_texts::kFieldColumn, table), 0, 0);
    grid->addWidget(Header(merge_texts::kMineColumn, table), 0, 1);
    grid->addWidget(Header(merge_texts::kTheirsColumn, table), 0, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    int line = 1;
    for (const BugField field : clashes_) {
        Row row;
        row.field = field;
        row.mineText = FieldValueText(field, mine, names);
        row.theirsText = FieldValueText(field, theirs, names);
        const QString caption = FieldCaption(field);

        auto* label = new QLabel(caption, table);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(label, line, 0);
        const int lines = std::max(LinesOf(row.mineText), LinesOf(row.theirsText));
        grid->addWidget(
            ValueView(row.mineText, lines, Latin(merge_texts::kMineColumn), caption, table), line,
            1);
        grid->addWidget(
            ValueView(row.theirsText, lines, Latin(merge_texts::kTheirsColumn), caption, table),
            line, 2);

        auto* choices = new QWidget(table);
        auto* choiceLayout = new QVBoxLayout(choices);
        choiceLayout->setContentsMargins(0, 0, 0, 0);
        row.mine = new QRadioButton(Latin(merge_texts::kMine), choices);
        row.theirs = new QRadioButton(Latin(merge_texts::kTheirs), choices);
        for (QRadioButton* button : {row.mine, row.theirs}) {
            button->setAccessibleName(button->text());
            button->setAccessibleDescription(caption);
            choiceLayout->addWidget(button);
        }
        choiceLayout->addStretch();
        row.choice = new QButtonGroup(this);
        row.choice->addButton(row.mine);
        row.choice->addButton(row.theirs);
        connect(row.choice, &QButtonGroup::buttonToggled, this, [this] { updateOk(); });
        grid->addWidget(choices, line, 3);
        rows_.append(row);
        ++line;
    }
    grid->setRowStretch(line, 1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(table);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    keepAllMine_ = new QPushButton(Latin(merge_texts::kKeepAllMine), this);
    keepAllTheirs_ = new QPushButton(Latin(merge_texts::kKeepAllTheirs), this);
    keepAllMine_->setAccessibleName(keepAllMine_->text());
    keepAllTheirs_->setAccessibleName(keepAllTheirs_->text());
    connect(keepAllMine_, &QPushButton::clicked, this, [this] { chooseAll(MergeSide::Mine); });
    connect(keepAllTheirs_, &QPushButton::clicked, this, [this] { chooseAll(MergeSide::Theirs); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(keepAllMine_);
    bottom->addWidget(keepAllTheirs_);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(scroll, 1);
    layout->addLayout(bottom);
    resize(760, 420);
    updateOk();
}

QMap<BugField, MergeSide> MergeDialog::choices() const {
    QMap<BugField, MergeSide> chosen;
    for (const Row& row : rows_) {
        if (row.mine->isChecked()) chosen.insert(row.field, MergeSide::Mine);
        if (row.theirs->isChecked()) chosen.insert(row.field, MergeSide::Theirs);
    }
    return chosen;
}

bool MergeDialog::isComplete() const {
    return choices().size() == rows_.size();
}

void MergeDialog::choose(BugField field, MergeSide side) {
    if (QRadioButton* button = choiceButton(field, side)) button->setChecked(true);
}

void MergeDialog::chooseAll(MergeSide side) {
    for (const Row& row : rows_)
        (side == MergeSide::Mine ? row.mine : row.theirs)->setChecked(true);
}

QRadioButton* MergeDialog::choiceButton(BugField field, MergeSide side) const {
    const Row* row = rowOf(field);
    if (!row) return nullptr;
    return side == MergeSide::Mine ? row->mine : row->theirs;
}

QString MergeDialog::valueText(BugField field, MergeSide side) const {
    const Row* row = rowOf(field);
    if (!row) return QString();
    return side == MergeSide::Mine ? row->mineText : row->theirsText;
}

const MergeDialog::Row* MergeDialog::rowOf(BugField field) const {
    for (const Row& row : rows_) {
        if (row.field == field) return &row;
    }
    return nullptr;
}

void MergeDialog::updateOk() {
    if (ok_) ok_->setEnabled(isComplete());
}

} // namespace tarnwick
