#include "client/panes/GeneralPane.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>

namespace tarnwick {

namespace {

// Captions in the order the fields are laid out: two columns, the bug's own fields on the
// left, who reported, fixed and verified it on the right.
const char* const kLeftCaptions[] = {"Description", "Status",         "Severity",
                                     "Priority",    "Reproductive",   "Classification",
                                     "Reported in Version"};
const char* const kRightCaptions[] = {"Reported By",      "Reported Date", "Fixed By",
                                      "Fixed Date",       "Fixed in Version", "Verified By",
                                      "Verified Date"};

} // namespace

GeneralPane::GeneralPane(DateFormatter formatDate, QWidget* parent)
    : DetailPane(parent), formatDate_(std::move(formatDate)) {
    auto* grid = new QGridLayout(this);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);
    for (const char* caption : kLeftCaptions) {
        QLineEdit* edit = add(QString::fromLatin1(caption));
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        left->addRow(label, edit);
    }
    for (const char* caption : kRightCaptions) {
        QLineEdit* edit = add(QString::fromLatin1(caption));
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        right->addRow(label, edit);
    }
}

QLineEdit* GeneralPane::add(const QString& caption) {
    auto* edit = new QLineEdit(this);
    edit->setReadOnly(true);
    edit->setAccessibleName(caption);
    fields_.append({caption, edit});
    return edit;
}

QString GeneralPane::fieldText(const QString& caption) const {
    for (const Field& field : fields_)
        if (field.caption == caption) return field.edit->text();
    return QString();
}

void GeneralPane::showBug(IBug* bug) {
    for (const Field& field : fields_) field.edit->clear();
    if (!bug) return;
    const auto set = [this](const char* caption, const QString& text) {
        for (const Field& field : fields_)
            if (field.caption == QLatin1String(caption)) {
                field.edit->setText(text);
                field.edit->setCursorPosition(0);
            }
    };
    set("Description", Text(bug, &IBug::get_Description));
    set("Status", Text(bug, &IBug::get_Status));
    set("Severity", Text(bug, &IBug::get_Severity));
    set("Priority", Text(bug, &IBug::get_Priority));
    set("Reproductive", Text(bug, &IBug::get_Reproductive));
    set("Classification", Text(bug, &IBug::get_Classification));
    set("Reported in Version", Text(bug, &IBug::get_ReportedInVersion));
    set("Reported By", Text(bug, &IBug::get_ReportedBy));
    set("Reported Date", formatDate_(Date(bug, &IBug::get_ReportedDate)));
    set("Fixed By", Text(bug, &IBug::get_FixedBy));
    set("Fixed Date", formatDate_(Date(bug, &IBug::get_FixedDate)));
    set("Fixed in Version", Text(bug, &IBug::get_FixedInVersion));
    set("Verified By", Text(bug, &IBug::get_VerifiedBy));
    set("Verified Date", formatDate_(Date(bug, &IBug::get_VerifiedDate)));
}

} // namespace tarnwick
