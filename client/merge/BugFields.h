#pragma once
// The fields of a bug that the editor writes, as one value: what the editor read when it opened,
// what the user made of it, and what is stored now can be held side by side and compared field
// by field.
#include <QList>
#include <QString>

#include <cstdint>
#include <variant>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// Every field the editor writes, in the order the editor shows them.
enum class BugField {
    Description,
    Status,
    Severity,
    Priority,
    Reproductive,
    ClassificationID,
    ReportedByID,
    ReportedDate,
    ReportedInVersionID,
    FixedByID,
    FixedDate,
    FixedInVersionID,
    VerifiedByID,
    VerifiedDate,
    Report,
    RecreateStep,
    Workaround,
    Resolution,
};
inline constexpr int kBugFieldCount = static_cast<int>(BugField::Resolution) + 1;

// What a field holds, which decides how it is shown.
enum class FieldKind {
    Text,           // a one-line text
    RichText,       // RTF
    User,           // a user ID
    Version,        // a version ID
    Classification, // a classification ID
    Date,           // an automation date, 0 for none
};

// One field's value: a text, an identifier or a date.
using FieldValue = std::variant<QString, LONG, DATE>;

struct BugFields {
    QString description;
    QString status;
    QString severity;
    QString priority;
    QString reproductive;
    LONG classificationID = 0;
    LONG reportedByID = 0;
    DATE reportedDate = 0;
    LONG reportedInVersionID = 0;
    LONG fixedByID = 0;
    DATE fixedDate = 0;
    LONG fixedInVersionID = 0;
    LONG verifiedByID = 0;
    DATE verifiedDate = 0;
    QString report;
    QString recreateStep;
    QString workaround;
    QString resolution;

    FieldValue value(BugField field) const;
    void setValue(BugField field, const FieldValue& value);
    // Copies one field from other.
    void take(BugField field, const BugFields& other) { setValue(field, other.value(field)); }

    friend bool operator==(const BugFields&, const BugFields&) = default;
};

// Whether the field holds the same value in both (texts, rich texts included, compare exactly).
bool SameField(const BugFields& a, const BugFields& b, BugField field);

// The fields in which a and b differ, in editor order.
QList<BugField> DifferingFields(const BugFields& a, const BugFields& b);

// All fields in editor order.
QList<BugField> AllBugFields();

// The caption the editor gives the field ("Description", "Reported in Version", "Report", ...).
QString FieldCaption(BugField field);
FieldKind KindOf(BugField field);

// The fields that go with the status: the Fixed group and the Verified group.
bool IsStatusGroupField(BugField field);

// Reads the fields from a bug; raises EngineFailure when the engine refuses a read.
BugFields ReadBugFields(IBug* bug);

// Writes every field into the bug, identifiers through their lookup setters; raises
// EngineFailure with the engine's message when a value is refused.
void WriteBugFields(IBug* bug, const BugFields& fields);
// Writes one field the same way.
void WriteBugField(IBug* bug, BugField field, const BugFields& fields);

// A small set of fields.
class BugFieldSet {
  public:
    static BugFieldSet All();
    bool contains(BugField field) const { return (bits_ & Bit(field)) != 0; }
    void insert(BugField field) { bits_ |= Bit(field); }
    void remove(BugField field) { bits_ &= ~Bit(field); }
    bool isEmpty() const { return bits_ == 0; }
    friend bool operator==(const BugFieldSet&, const BugFieldSet&) = default;

  private:
    static uint32_t Bit(BugField field) { return uint32_t{1} << static_cast<int>(field); }
    uint32_t bits_ = 0;
};

} // namespace tarnwick
