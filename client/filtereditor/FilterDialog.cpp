#include "client/filtereditor/FilterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/filtereditor/FilterEditorTexts.h"
#include "client/filtereditor/FilterFieldCaptions.h"
#include "client/filtereditor/FilterNameDialog.h"
#include "client/filtereditor/FilterValueEditor.h"
#include "client/filtereditor/FilterValueLists.h"
#include "client/filtereditor/SelectFilterDialog.h"
#include "client/list/DateText.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

using namespace filtereditor;

namespace {

enum Column { AndOrColumn, FieldColumn, ConditionColumn, ValueColumn, ColumnCount };

QString Caption(const char* caption) {
    return QString::fromLatin1(caption);
}

// A button named for screen readers by its caption without the mnemonic marker.
QPushButton* Button(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(Caption(caption), parent);
    button->setAccessibleName(Caption(caption).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}

QLabel* Label(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(Caption(caption), parent);
    label->setBuddy(buddy);
    return label;
}

QComboBox* Editor(const char* caption, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setAccessibleName(Caption(caption));
    return box;
}

} // namespace

FilterDialog::FilterDialog(ComPtr<IExeContext> session, const FilterList& list,
                           MessageSink& messages, QWidget* parent)
    : QDialog(parent), session_(std::move(session)), messages_(messages),
      names_(new QListWidget(this)), new_(Button(kNewCaption, this)),
      copyTo_(Button(kCopyToCaption, this)), rename_(Button(kRenameCaption, this)),
      delete_(Button(kDeleteCaption, this)), conditions_(new QTreeWidget(this)),
      addCondition_(Button(kAddConditionCaption, this)),
      deleteCondition_(Button(kDeleteConditionCaption, this)), andOr_(Editor(kAndOrCaption, this)),
      field_(Editor(kFieldCaption, this)), condition_(Editor(kConditionCaption, this)),
      value_(new FilterValueEditor(this)), apply_(Button(kApplyCaption, this)) {
    Attempt([&] { list_.Copy(list); },
            [&](const EngineFailure& failure) { copyFailure_ = failure.text; });
    setWindowTitle(Caption(kFilterCaption));
    buildLayout();

    andOr_->addItems(AndOrCaptions());
    for (const FilterField& field : OfferedFilterFields())
        field_->addItem(QString::fromLatin1(field.caption));

    connect(names_, &QListWidget::currentRowChanged, this, [this] {
        if (!updating_) Run([&] { showConditions(); });
    });
    connect(conditions_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!updating_ && selectedRow() >= 0) loadRow(selectedRow());
    });
    connect(field_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_ && index >= 0) prepareField(index);
    });
    connect(new_, &QPushButton::clicked, this, &FilterDialog::newFilter);
    connect(copyTo_, &QPushButton::clicked, this, &FilterDialog::copyTo);
    connect(rename_, &QPushButton::clicked, this, &FilterDialog::renameFilter);
    connect(delete_, &QPushButton::clicked, this, &FilterDialog::deleteFilter);
    connect(addCondition_, &QPushButton::clicked, this, &FilterDialog::addCondition);
    connect(deleteCondition_, &QPushButton::clicked, this, &FilterDialog::deleteCondition);
    connect(apply_, &QPushButton::clicked, this, &FilterDialog::apply);
}

FilterDialog::~FilterDialog() = default;

void FilterDialog::buildLayout() {
    names_->setAccessibleName(Caption(kNameCaption));
    names_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* nameButtons = new QGridLayout;
    nameButtons->addWidget(new_, 0, 0);
    nameButtons->addWidget(copyTo_, 0, 1);
    nameButtons->addWidget(rename_, 1, 0);
    nameButtons->addWidget(delete_, 1, 1);
    auto* nameColumn = new QVBoxLayout;
    nameColumn->addWidget(Label(kNameCaption, names_, this));
    nameColumn->addWidget(names_, 1);
    nameColumn->addLayout(nameButtons);

    conditions_->setAccessibleName(Caption(kConditionsCaption));
    conditions_->setColumnCount(ColumnCount);
    conditions_->setHeaderLabels({Caption(kAndOrCaption), Caption(kFieldCaption),
                                  Caption(kConditionCaption), Caption(kValueCaption)});
    for (int column = 0; column < ColumnCount; ++column)
        conditions_->setColumnWidth(column, kConditionColumnWidths[column]);
    // The columns keep their widths; the header speaks for the list it heads.
    conditions_->header()->setStretchLastSection(false);
    conditions_->header()->setAccessibleName(Caption(kConditionsCaption));
    conditions_->setRootIsDecorated(false);
    conditions_->setSelectionMode(QAbstractItemView::SingleSelection);
    conditions_->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* conditionButtons = new QHBoxLayout;
    conditionButtons->addStretch(1);
    conditionButtons->addWidget(addCondition_);
    conditionButtons->addWidget(deleteCondition_);

    auto* editors = new QGridLayout;
    editors->addWidget(Label(kAndOrCaption, andOr_, this), 0, 0);
    editors->addWidget(Label(kFieldCaption, field_, this), 0, 1);
    editors->addWidget(Label(kConditionCaption, condition_, this), 0, 2);
    editors->addWidget(Label(kValueCaption, value_, this), 0, 3);
    editors->addWidget(andOr_, 1, 0);
    editors->addWidget(field_, 1, 1);
    editors->addWidget(condition_, 1, 2);
    editors->addWidget(value_, 1, 3);
    editors->addWidget(apply_, 1, 4);
    editors->setColumnStretch(3, 1);

    auto* conditionColumn = new QVBoxLayout;
    conditionColumn->addWidget(Label(kConditionsCaption, conditions_, this));
    conditionColumn->addWidget(conditions_, 1);
    conditionColumn->addLayout(conditionButtons);
    conditionColumn->addLayout(editors);

    auto* columns = new QHBoxLayout;
    columns->addLayout(nameColumn);
    columns->addLayout(conditionColumn, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
}

template <class Work> bool FilterDialog::Run(Work&& work) {
    return Attempt(std::forward<Work>(work),
                   [&](const EngineFailure& failure) { messages_.Inform(this, failure.text); });
}

FilterNameDialog* FilterDialog::nameDialog() const {
    return nameDialog_;
}

SelectFilterDialog* FilterDialog::selectFilterDialog() const {
    return selectDialog_;
}

void FilterDialog::open() {
    if (copyFailure_) {
        messages_.Inform(parentWidget(), *copyFailure_);
        done(QDialog::Rejected);
        return;
    }
    if (!Run([&] { fillNames(); })) {
        done(QDialog::Rejected);
        return;
    }
    {
        QScopedValueRollback<bool> updating(updating_, true);
        andOr_->setCurrentIndex(0);
        field_->setCurrentIndex(0);
    }
    prepareField(0);
    Run([&] { chooseFilter(0); });
    QDialog::open();
}

void FilterDialog::setDateFormat(const QString& storedFormat) {
    dateFormat_ = storedFormat;
    if (currentSet()) Run([&] { showConditions(); });
}

// ---- the filter sets ----

ComPtr<IBugFilterSet> FilterDialog::currentSet() const {
    return list_.GetAt(names_->currentRow());
}

int FilterDialog::indexOfName(const QString& name) const {
    for (int i = 0; i < names_->count(); ++i)
        if (names_->item(i)->text() == name) return i;
    return -1;
}

void FilterDialog::fillNames() {
    QScopedValueRollback<bool> updating(updating_, true);
    names_->clear();
    for (int i = 0; i < list_.Count(); ++i)
        names_->addItem(Text(list_.GetAt(i).Get(), &IBugFilterSet::get_Name));
}

void FilterDialog::chooseFilter(int index) {
    {
        QScopedValueRollback<bool> updating(updating_, true);
        names_->setCurrentRow(index < names_->count() ? index : -1);
    }
    showConditions();
}

void FilterDialog::newFilter() {
    auto* dialog = new FilterNameDialog(messages_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    nameDialog_ = dialog;
    connect(dialog, &QDialog::accepted, this, [this, dialog] { addNamedFilter(dialog->name()); });
    dialog->open();
}

void FilterDialog::addNamedFilter(const QString& name) {
    Run([&] {
        // A name that is taken adds nothing; the filter of that name is shown instead.
        if (indexOfName(name) < 0) {
            auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
            Check(set->put_Name(ToBstr(name).Get()));
            if (list_.Add(std::move(set))) names_->addItem(name);
        }
        chooseFilter(indexOfName(name));
    });
}

void FilterDialog::renameFilter() {
    const int index = names_->currentRow();
    if (index < 0) return;
    auto* dialog = new FilterNameDialog(messages_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setName(names_->item(index)->text());
    QStringList others;
    for (int i = 0; i < names_->count(); ++i)
        if (i != index) others << names_->item(i)->text();
    dialog->setTakenNames(others);
    nameDialog_ = dialog;
    connect(dialog, &QDialog::accepted, this,
            [this, dialog, index] { renameFilterAt(index, dialog->name()); });
    dialog->open();
}

void FilterDialog::renameFilterAt(int index, const QString& name) {
    const ComPtr<IBugFilterSet> set = list_.GetAt(index);
    if (!set) return;
    Run([&] {
        Check(set->put_Name(ToBstr(name).Get()));
        names_->item(index)->setText(name);
    });
}

void FilterDialog::deleteFilter() {
    const int index = names_->currentRow();
    if (index < 0) return;
    if (!messages_.Confirm(this, Caption(kConfirmDelete))) return;
    list_.RemoveAt(index);
    {
        QScopedValueRollback<bool> updating(updating_, true);
        delete names_->takeItem(index);
    }
    Run([&] { chooseFilter(0); });
}

void FilterDialog::copyTo() {
    if (!currentSet()) return;
    QStringList names;
    for (int i = 0; i < names_->count(); ++i)
        names << names_->item(i)->text();
    auto* dialog = new SelectFilterDialog(names, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    selectDialog_ = dialog;
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { copyConditionsTo(dialog->chosenIndex()); });
    dialog->open();
}

void FilterDialog::copyConditionsTo(int targetIndex) {
    const ComPtr<IBugFilterSet> source = currentSet();
    const ComPtr<IBugFilterSet> target = list_.GetAt(targetIndex);
    if (!source || !target) return;
    Attempt([&] { Check(target->AddBatch(source.Get())); },
            [&](const EngineFailure&) { messages_.Inform(this, Caption(kCopyToFailed)); });
    // The conditions appended before a failure stay; show them when the target is on screen.
    if (target.Get() == source.Get()) Run([&] { showConditions(); });
}

// ---- the conditions ----

int FilterDialog::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = conditions_->selectedItems();
    return selected.isEmpty() ? -1 : conditions_->indexOfTopLevelItem(selected.first());
}

void FilterDialog::showConditions() {
    QScopedValueRollback<bool> updating(updating_, true);
    conditions_->clear();
    const ComPtr<IBugFilterSet> set = currentSet();
    if (!set) return;
    const LONG count = Long(set.Get(), &IBugFilterSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        new QTreeWidgetItem(conditions_);
        showRow(i, Item(set.Get(), &IBugFilterSet::get_Item, i).Get());
    }
}

void FilterDialog::showRow(int row, IBugFilter* filter) {
    QTreeWidgetItem* item = conditions_->topLevelItem(row);
    if (!item) return;
    eLogOperation andOr = LogAnd;
    Check(filter->get_AndOr(&andOr));
    eLogCondition condition = Equal;
    Check(filter->get_Condition(&condition));
    velmora::com::Variant value;
    Check(filter->get_Value(&value));
    // The first condition's And/Or joins it to nothing: its cell stays empty.
    item->setText(AndOrColumn, row == 0 ? QString() : AndOrCaption(andOr));
    item->setText(FieldColumn, FieldCaption(Text(filter, &IBugFilter::get_Field)));
    item->setText(ConditionColumn, ConditionCaption(condition));
    item->setText(ValueColumn, valueText(value));
}

void FilterDialog::blankFirstAndOr() {
    if (QTreeWidgetItem* first = conditions_->topLevelItem(0)) first->setText(AndOrColumn, {});
}

QString FilterDialog::valueText(const VARIANT& value) const {
    switch (value.vt) {
    case VT_BSTR:
        return FromBstr(value.bstrVal);
    case VT_DATE:
        return DateText(value.date, dateFormat_);
    case VT_I4:
        return QString::number(value.lVal);
    case VT_UI1:
        return QString::number(value.bVal);
    default:
        return QString();
    }
}

void FilterDialog::prepareField(int fieldIndex) {
    const auto& fields = OfferedFilterFields();
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(fields.size())) return;
    const FilterField& field = fields[static_cast<size_t>(fieldIndex)];
    value_->setKind(field.kind);
    condition_->clear();
    condition_->addItems(ConditionCaptions(field.kind));
    condition_->setCurrentIndex(0);
    if (field.kind == FilterValueKind::List) {
        value_->setEntries({});
        Run([&] {
            value_->setEntries(FilterValueEntries(session_.Get(), QString::fromLatin1(field.name)));
        });
    }
}

void FilterDialog::loadRow(int row) {
    const ComPtr<IBugFilterSet> set = currentSet();
    if (!set) return;
    Run([&] {
        const ComPtr<IBugFilter> filter = Item(set.Get(), &IBugFilterSet::get_Item, row);
        eLogOperation andOr = LogAnd;
        Check(filter->get_AndOr(&andOr));
        eLogCondition condition = Equal;
        Check(filter->get_Condition(&condition));
        velmora::com::Variant value;
        Check(filter->get_Value(&value));
        const QString fieldName = Text(filter.Get(), &IBugFilter::get_Field);

        QScopedValueRollback<bool> updating(updating_, true);
        andOr_->setCurrentIndex(andOr_->findText(AndOrCaption(andOr)));
        // A column the field list does not offer leaves no field chosen; Apply then keeps the
        // condition's column and value.
        const int fieldIndex = field_->findText(FieldCaption(fieldName));
        field_->setCurrentIndex(fieldIndex);
        if (fieldIndex >= 0) prepareField(fieldIndex);
        condition_->setCurrentIndex(condition_->findText(ConditionCaption(condition)));
        value_->setValue(value);
    });
}

void FilterDialog::writeEditors(IBugFilter* filter) const {
    eLogOperation oldAndOr = LogAnd;
    Check(filter->get_AndOr(&oldAndOr));
    eLogCondition oldCondition = Equal;
    Check(filter->get_Condition(&oldCondition));
    const QString oldField = Text(filter, &IBugFilter::get_Field);
    try {
        if (const auto andOr = AndOrFromCaption(andOr_->currentText()))
            Check(filter->put_AndOr(*andOr));
        if (const auto condition = ConditionFromCaption(condition_->currentText()))
            Check(filter->put_Condition(*condition));
        if (const auto field = OfferedFieldByCaption(field_->currentText())) {
            // The field goes first: the filter judges a value by the field it has.
            Check(filter->put_Field(ToBstr(QString::fromLatin1(field->name)).Get()));
            Check(filter->put_Value(value_->value()));
        }
    } catch (const EngineFailure&) {
        // A refused value leaves the condition as it was, not half written with a column its
        // value does not fit.
        filter->put_AndOr(oldAndOr);
        filter->put_Condition(oldCondition);
        filter->put_Field(ToBstr(oldField).Get());
        throw;
    }
}

void FilterDialog::addCondition() {
    const ComPtr<IBugFilterSet> set = currentSet();
    if (!set) return;
    const bool added = Run([&] {
        const auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
        Check(filter->put_AndOr(LogAnd));
        Check(set->Add(filter.Get()));
        QScopedValueRollback<bool> updating(updating_, true);
        auto* item = new QTreeWidgetItem(conditions_);
        showRow(conditions_->indexOfTopLevelItem(item), filter.Get());
        andOr_->setCurrentIndex(0);
        field_->setCurrentIndex(0);
        prepareField(0);
        conditions_->setFocus();
        conditions_->setCurrentItem(item);
        conditions_->clearSelection();
        item->setSelected(true);
        conditions_->scrollToItem(item);
    });
    if (added) apply();
}

void FilterDialog::apply() {
    const ComPtr<IBugFilterSet> set = currentSet();
    const int row = selectedRow();
    if (!set || row < 0) {
        messages_.Inform(this, Caption(kSelectAnItem));
        return;
    }
    Run([&] {
        const ComPtr<IBugFilter> filter = Item(set.Get(), &IBugFilterSet::get_Item, row);
        writeEditors(filter.Get());
        showRow(row, filter.Get());
    });
}

void FilterDialog::deleteCondition() {
    const ComPtr<IBugFilterSet> set = currentSet();
    const int row = selectedRow();
    if (!set || row < 0) return;
    Run([&] {
        Check(set->Remove(row));
        QScopedValueRollback<bool> updating(updating_, true);
        delete conditions_->takeTopLevelItem(row);
        conditions_->clearSelection();
        blankFirstAndOr();
    });
}

} // namespace tarnwick
