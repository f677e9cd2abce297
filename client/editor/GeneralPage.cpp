#include "client/editor/GeneralPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

#include "client/config/OleDate.h"
#include "client/widgets/NullableDateTimeEdit.h"

namespace tarnwick {

namespace {

// The page's captions and the texts it compares and fills in.
const QString kTitle = QStringLiteral("General");
const QString kDescription = QStringLiteral("Description");
const QString kStatus = QStringLiteral("Status");
const QString kSeverity = QStringLiteral("Severity");
const QString kPriority = QStringLiteral("Priority");
const QString kReproductive = QStringLiteral("Reproductive");
const QString kClassification = QStringLiteral("Classification");
const QString kReportedBy = QStringLiteral("Reported By");
const QString kReportedDate = QStringLiteral("Reported Date");
const QString kReportedInVersion = QStringLiteral("Reported in Version");
const QString kFixedBy = QStringLiteral("Fixed By");
const QString kFixedDate = QStringLiteral("Fixed Date");
const QString kFixedInVersion = QStringLiteral("Fixed in Version");
const QString kVerifiedBy = QStringLiteral("Verified By");
const QString kVerifiedDate = QStringLiteral("Verified Date");
const QString kLastModifiedBy = QStringLiteral("Last modified by");
const QString kLastModifiedDate = QStringLiteral("Last modified date");

const QString kStatusNew = QStringLiteral("New");
const QString kStatusFixed = QStringLiteral("Fixed");
const QString kStatusVerified = QStringLiteral("Verified");
const QString kDefaultPriority = QStringLiteral("Normal");
const QString kDefaultSeverity = QStringLiteral("Normal");
const QString kDefaultReproductive = QStringLiteral("Sometimes");

// Counts the page's own changes to its controls, which are not the user's.
class Filling {
  public:
    explicit Filling(int& depth) : depth_(depth) { ++depth_; }
    ~Filling() { --depth_; }
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

  private:
    int& depth_;
};

bool LessByName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Lists that sort their entries keep them in name order, whatever order the engine gives.
void FillSorted(QComboBox* box, QStringList names) {
    std::stable_sort(names.begin(), names.end(), LessByName);
    box->addItems(names);
}

void FillSorted(QComboBox* box, QList<NamedId> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const NamedId& a, const NamedId& b) { return LessByName(a.name, b.name); });
    for (const NamedId& item : items)
        box->addItem(item.name, QVariant::fromValue<LONG>(item.id));
}

// Selects the entry with exactly this text; none when there is no such entry.
void SelectText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly));
}

// The status box takes any text: an entry when one matches, otherwise the text as typed.
void ShowStatus(QComboBox* box, const QString& text) {
    SelectText(box, text);
    if (box->currentIndex() < 0) box->setEditText(text);
}

LONG SelectedId(const QComboBox* box) {
    return box->currentData().value<LONG>();
}

bool Allows(IRight* right, HRESULT (STDMETHODCALLTYPE IRight::*flag)(LONG*)) {
    return right && Long(right, flag) != 0;
}

} // namespace

GeneralPage::GeneralPage(QWidget* parent)
    : EditorPage(parent), clock_([] { return QDateTime::currentDateTime(); }) {
    buildForm();
    connectEdits();
}

QString GeneralPage::title() const {
    return kTitle;
}

void GeneralPage::setClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
}

void GeneralPage::buildForm() {
    auto* form = new QFormLayout(this);
    const auto add = [&](const QString& caption, QWidget* control) {
        auto* label = new QLabel(caption + QLatin1Char(':'), this);
        label->setBuddy(control);
        form->addRow(label, control);
        return Row{label, control};
    };
    const auto addText = [&](const QString& caption, bool readOnly) {
        auto* edit = new QLineEdit(this);
        edit->setAccessibleName(caption);
        edit->setReadOnly(readOnly);
        return std::pair{edit, add(caption, edit)};
    };
    const auto addList = [&](const QString& caption) {
        auto* box = new QComboBox(this);
        box->setAccessibleName(caption);
        add(caption, box);
        return box;
    };
    const auto addDate = [&](const QString& caption) {
        auto* picker = new NullableDateTimeEdit(this);
        picker->setAccessibleName(caption);
        return std::pair{picker, add(caption, picker)};
    };

    description_ = addText(kDescription, false).first;
    status_ = addList(kStatus);
    status_->setEditable(true);
    status_->setInsertPolicy(QComboBox::NoInsert);
    status_->lineEdit()->setAccessibleName(kStatus);
    severity_ = addList(kSeverity);
    priority_ = addList(kPriority);
    reproductive_ = addList(kReproductive);
    classification_ = addList(kClassification);
    reportedBy_ = addText(kReportedBy, true).first;
    reportedDate_ = addDate(kReportedDate).first;
    reportedInVersion_ = addList(kReportedInVersion);

    auto fixedBy = addText(kFixedBy, true);
    fixedBy_ = fixedBy.first;
    auto fixedDate = addDate(kFixedDate);
    fixedDate_ = fixedDate.first;
    fixedInVersion_ = addList(kFixedInVersion);
    fixedGroup_ = {
        fixedBy.second, fixedDate.second,
        Row{qobject_cast<QLabel*>(form->labelForField(fixedInVersion_)), fixedInVersion_}};

    auto verifiedBy = addText(kVerifiedBy, true);
    verifiedBy_ = verifiedBy.first;
    auto verifiedDate = addDate(kVerifiedDate);
    verifiedDate_ = verifiedDate.first;
    verifiedGroup_ = {verifiedBy.second, verifiedDate.second};

    // Kept for the record but never shown.
    auto lastBy = addText(kLastModifiedBy, true);
    lastModifiedBy_ = lastBy.first;
    auto lastDate = addDate(kLastModifiedDate);
    lastModifiedDate_ = lastDate.first;
    for (const Row& row : {lastBy.second, lastDate.second}) {
        row.label->hide();
        row.control->hide();
    }
}

void GeneralPage::connectEdits() {
    connect(description_, &QLineEdit::textEdited, this, &GeneralPage::noteUserChange);
    connect(status_->lineEdit(), &QLineEdit::textEdited, this, &GeneralPage::noteUserChange);
    connect(status_, &QComboBox::textActivated, this, &GeneralPage::onStatusChosen);
    for (QComboBox* box : {severity_, priority_, reproductive_, classification_, reportedInVersion_,
                           fixedInVersion_})
        connect(box, &QComboBox::activated, this, &GeneralPage::noteUserChange);
    for (NullableDateTimeEdit* picker : {reportedDate_, fixedDate_, verifiedDate_})
        connect(picker, &NullableDateTimeEdit::valueChanged, this, &GeneralPage::noteUserChange);
}

void GeneralPage::noteUserChange() {
    if (filling_ > 0) return;
    modified_ = true;
    emit modified();
}

DATE GeneralPage::now() const {
    return OleDateFromDateTime(clock_());
}

void GeneralPage::load(const BugEditorState& state) {
    Filling filling(filling_);
    state_ = state;
    loading_ = true;
    statusChosen_ = false;
    choices_ = LoadGeneralChoices(state.session.Get());
    fillLists();
    if (state.mode == BugEditorState::New)
        loadNew(state);
    else
        loadEdit(state);
    modified_ = false;
}

void GeneralPage::fillLists() {
    for (QComboBox* box : {status_, severity_, priority_, reproductive_, classification_,
                           reportedInVersion_, fixedInVersion_})
        box->clear();
    FillSorted(status_, choices_.statuses);
    severity_->addItems(choices_.severities);
    priority_->addItems(choices_.priorities);
    reproductive_->addItems(choices_.reproducibilities);
    FillSorted(classification_, choices_.classifications);
    FillSorted(reportedInVersion_, choices_.versions);
    FillSorted(fixedInVersion_, choices_.versions);
    // A filled list starts with nothing chosen; the mode decides what is selected.
    for (QComboBox* box : {status_, severity_, priority_, reproductive_, classification_,
                           reportedInVersion_, fixedInVersion_})
        box->setCurrentIndex(-1);
}

void GeneralPage::loadNew(const BugEditorState&) {
    ShowStatus(status_, kStatusNew);
    status_->setEnabled(false);
    reportedBy_->setText(choices_.userName);
    lastModifiedBy_->setText(choices_.userName);
    const DATE time = now();
    reportedDate_->setValue(time);
    lastModifiedDate_->setValue(time);
    SelectText(reportedInVersion_, choices_.activeVersionName);
    SelectText(priority_, kDefaultPriority);
    SelectText(reproductive_, kDefaultReproductive);
    SelectText(severity_, kDefaultSeverity);
    classification_->setCurrentIndex(classification_->count() > 0 ? 0 : -1);
    applyStatusRules(kStatusNew);
}

void GeneralPage::loadEdit(const BugEditorState& state) {
    IBug* bug = state.bug.Get();
    description_->setText(Text(bug, &IBug::get_Description));
    const QString status = Text(bug, &IBug::get_Status);
    ShowStatus(status_, status);
    status_->setEnabled(true);
    SelectText(severity_, Text(bug, &IBug::get_Severity));
    SelectText(priority_, Text(bug, &IBug::get_Priority));
    SelectText(reproductive_, Text(bug, &IBug::get_Reproductive));
    SelectText(classification_, Text(bug, &IBug::get_Classification));
    SelectText(reportedInVersion_, Text(bug, &IBug::get_ReportedInVersion));
    SelectText(fixedInVersion_, Text(bug, &IBug::get_FixedInVersion));
    reportedBy_->setText(Text(bug, &IBug::get_ReportedBy));
    fixedBy_->setText(Text(bug, &IBug::get_FixedBy));
    verifiedBy_->setText(Text(bug, &IBug::get_VerifiedBy));
    lastModifiedBy_->setText(Text(bug, &IBug::get_LastModifiedBy));
    reportedDate_->setValue(Date(bug, &IBug::get_ReportedDate));
    fixedDate_->setValue(Date(bug, &IBug::get_FixedDate));
    verifiedDate_->setValue(Date(bug, &IBug::get_VerifiedDate));
    lastModifiedDate_->setValue(Date(bug, &IBug::get_LastModifiedDate));
    applyStatusRules(status);
    applyRights(state.right.Get());
}

void GeneralPage::applyRights(IRight* right) {
    classification_->setEnabled(Allows(right, &IRight::get_EditClass));
    priority_->setEnabled(Allows(right, &IRight::get_EditPriority));
    reproductive_->setEnabled(Allows(right, &IRight::get_EditReproductive));
    severity_->setEnabled(Allows(right, &IRight::get_EditSeverity));
    description_->setEnabled(Allows(right, &IRight::get_EditDescription));
}

void GeneralPage::onStatusChosen(const QString& status) {
    loading_ = false;
    statusChosen_ = true;
    Attempt([&] { applyStatusRules(status); },
            [](const EngineFailure&) {
                // The bug is a detached object whose getters do not fail; nothing to report.
            });
    noteUserChange();
}

void GeneralPage::applyStatusRules(const QString& status) {
    Filling filling(filling_);
    IRight* right = state_.right.Get();
    const QList<QWidget*> datesAndVersions = {reportedDate_, reportedInVersion_, fixedDate_,
                                              fixedInVersion_, verifiedDate_};
    if (status == kStatusNew) {
        reportedDate_->setEnabled(Allows(right, &IRight::get_EditReportedDate));
        reportedInVersion_->setEnabled(Allows(right, &IRight::get_EditReportedInVersion));
        reportedBy_->setText(choices_.userName);
        showFixedGroup(false);
        showVerifiedGroup(false);
    } else if (status == kStatusFixed) {
        fixedInVersion_->setEnabled(Allows(right, &IRight::get_EditFixedInVersion));
        fixedDate_->setEnabled(Allows(right, &IRight::get_EditFixedDate));
        for (QWidget* control :
             {static_cast<QWidget*>(reportedDate_), static_cast<QWidget*>(reportedInVersion_),
              static_cast<QWidget*>(verifiedDate_)})
            control->setEnabled(false);
        if (loading_) {
            fillFixedFromBug();
        } else {
            fixedBy_->setText(choices_.userName);
            fixedDate_->setValue(now());
            SelectText(fixedInVersion_, choices_.activeVersionName);
        }
        fillReportedFromBug();
        fillVerifiedFromBug();
        showFixedGroup(true);
        showVerifiedGroup(false);
    } else if (status == kStatusVerified) {
        for (QWidget* control : datesAndVersions)
            control->setEnabled(false);
        verifiedDate_->setEnabled(Allows(right, &IRight::get_EditVerifiedDate));
        if (loading_) {
            fillVerifiedFromBug();
        } else {
            verifiedDate_->setValue(now());
            verifiedBy_->setText(choices_.userName);
        }
        fillFixedFromBug();
        fillReportedFromBug();
        showVerifiedGroup(true);
        showFixedGroup(fixedDate_->value() != kNoDate);
    } else {
        for (QWidget* control : datesAndVersions)
            control->setEnabled(false);
        fillReportedFromBug();
        showFixedGroup(false);
        showVerifiedGroup(false);
        fixedInVersion_->setCurrentIndex(-1);
    }
}

// Hiding a group empties it, so that what is written matches what the status shows.
void GeneralPage::showFixedGroup(bool shown) {
    for (const Row& row : fixedGroup_) {
        row.label->setVisible(shown);
        row.control->setVisible(shown);
    }
    if (!shown) {
        fixedBy_->clear();
        fixedDate_->setValue(kNoDate);
    }
}

void GeneralPage::showVerifiedGroup(bool shown) {
    for (const Row& row : verifiedGroup_) {
        row.label->setVisible(shown);
        row.control->setVisible(shown);
    }
    if (!shown) {
        verifiedBy_->clear();
        verifiedDate_->setValue(kNoDate);
    }
}

void GeneralPage::fillReportedFromBug() {
    IBug* bug = state_.bug.Get();
    reportedBy_->setText(Text(bug, &IBug::get_ReportedBy));
    reportedDate_->setValue(Date(bug, &IBug::get_ReportedDate));
    SelectText(reportedInVersion_, Text(bug, &IBug::get_ReportedInVersion));
}

void GeneralPage::fillFixedFromBug() {
    IBug* bug = state_.bug.Get();
    fixedBy_->setText(Text(bug, &IBug::get_FixedBy));
    fixedDate_->setValue(Date(bug, &IBug::get_FixedDate));
    SelectText(fixedInVersion_, Text(bug, &IBug::get_FixedInVersion));
}

void GeneralPage::fillVerifiedFromBug() {
    IBug* bug = state_.bug.Get();
    verifiedBy_->setText(Text(bug, &IBug::get_VerifiedBy));
    verifiedDate_->setValue(Date(bug, &IBug::get_VerifiedDate));
}

LONG GeneralPage::writtenUserId(bool needed, LONG storedId) const {
    if (!needed) return 0;
    // Saving an edited bug without choosing a status again keeps who fixed or verified it: the
    // page shows that person, and an edit of the description must not make someone else the
    // fixer.
    if (state_.mode == BugEditorState::Edit && !statusChosen_ && storedId != 0) return storedId;
    return choices_.userId;
}

void GeneralPage::save(const BugEditorState& state) {
    IBug* bug = state.bug.Get();
    const bool isNew = state.mode == BugEditorState::New;
    Check(bug->put_Description(ToBstr(description_->text()).Get()));

    const QString status = status_->currentText();
    if (!status.isEmpty())
        Check(bug->put_Status(ToBstr(status).Get()));
    else if (isNew)
        Check(bug->put_Status(ToBstr(kStatusNew).Get()));

    if (severity_->currentIndex() >= 0)
        Check(bug->put_Severity(ToBstr(severity_->currentText()).Get()));
    if (priority_->currentIndex() >= 0)
        Check(bug->put_Priority(ToBstr(priority_->currentText()).Get()));
    if (reproductive_->currentIndex() >= 0)
        Check(bug->put_Reproductive(ToBstr(reproductive_->currentText()).Get()));
    if (classification_->currentIndex() >= 0)
        Check(bug->put_ClassificationID(SelectedId(classification_)));
    if (isNew) Check(bug->put_ReportedByID(choices_.userId));
    Check(bug->put_ReportedDate(reportedDate_->value()));
    if (reportedInVersion_->currentIndex() >= 0)
        Check(bug->put_ReportedInVersionID(SelectedId(reportedInVersion_)));

    const QString written = Text(bug, &IBug::get_Status);
    const bool verified = written == kStatusVerified;
    const bool fixed = written == kStatusFixed || verified;
    Check(bug->put_FixedByID(writtenUserId(fixed, Long(bug, &IBug::get_FixedByID))));
    Check(bug->put_FixedDate(fixedDate_->value()));
    Check(bug->put_FixedInVersionID(
        fixedInVersion_->currentIndex() >= 0 ? SelectedId(fixedInVersion_) : 0));
    Check(bug->put_VerifiedByID(writtenUserId(verified, Long(bug, &IBug::get_VerifiedByID))));
    Check(bug->put_VerifiedDate(verifiedDate_->value()));
}

} // namespace tarnwick
