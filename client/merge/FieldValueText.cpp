#include "client/merge/FieldValueText.h"

#include <QStringList>

#include "client/config/OleDate.h"
#include "client/merge/MergeTexts.h"
#include "client/rtf/RtfReader.h"

namespace tarnwick {
namespace {

QString DateValueText(DATE date) {
    if (date == kNoDate) return QString::fromLatin1(merge_texts::kNoValue);
    const QDateTime when = DateTimeFromOleDate(date);
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QString::number(date);
}

QString PlainValueText(BugField field, const BugFields& fields, const IdName& names) {
    const FieldValue value = fields.value(field);
    switch (KindOf(field)) {
    case FieldKind::Text:
        return std::get<QString>(value);
    case FieldKind::RichText:
        return RtfPlainText(std::get<QString>(value));
    case FieldKind::Date:
        return DateValueText(std::get<DATE>(value));
    case FieldKind::User:
    case FieldKind::Version:
    case FieldKind::Classification: {
        const LONG id = std::get<LONG>(value);
        if (id == 0) return QString::fromLatin1(merge_texts::kNoValue);
        const QString name = names ? names(KindOf(field), id) : QString();
        return name.isEmpty() ? QStringLiteral("#%1").arg(id) : name;
    }
    }
    return QString();
}

} // namespace

IdName EngineIdNames() {
    return [](FieldKind kind, LONG id) -> QString {
        QString name;
        Attempt(
            [&] {
                auto bug = Create<IBug>(CLSID_Bug, IID_IBug);
                switch (kind) {
                case FieldKind::User:
                    Check(bug->put_FixedByID(id));
                    name = Text(bug.Get(), &IBug::get_FixedBy);
                    break;
                case FieldKind::Version:
                    Check(bug->put_FixedInVersionID(id));
                    name = Text(bug.Get(), &IBug::get_FixedInVersion);
                    break;
                case FieldKind::Classification:
                    Check(bug->put_ClassificationID(id));
                    name = Text(bug.Get(), &IBug::get_Classification);
                    break;
                default:
                    break;
                }
            },
            [](const EngineFailure&) {});
        return name;
    };
}

QString FieldValueText(BugField field, const BugFields& fields, const IdName& names) {
    QString text = PlainValueText(field, fields, names);
    if (field != BugField::Status) return text;
    QStringList details;
    for (const BugField member : AllBugFields()) {
        if (!IsStatusGroupField(member)) continue;
        const FieldValue value = fields.value(member);
        const bool empty = KindOf(member) == FieldKind::Date ? std::get<DATE>(value) == kNoDate
                                                             : std::get<LONG>(value) == 0;
        if (empty) continue;
        details.append(FieldCaption(member) + QStringLiteral(": ") +
                       PlainValueText(member, fields, names));
    }
    if (!details.isEmpty()) text += QStringLiteral("\n") + details.join(QStringLiteral("\n"));
    return text;
}

} // namespace tarnwick
