#include "client/options/DateFormatCodes.h"

#include <array>

namespace tarnwick {

namespace {

struct CodePair {
    QLatin1String user;
    QLatin1String stored;
};

// The codes of one letter are listed longest first, so the first code that matches at a
// position is the longest one there.
constexpr std::array<CodePair, 8> kCodes = {{
    {QLatin1String("yyyy"), QLatin1String("%Y")},
    {QLatin1String("yy"), QLatin1String("%y")},
    {QLatin1String("mm"), QLatin1String("%B")},
    {QLatin1String("m"), QLatin1String("%b")},
    {QLatin1String("M"), QLatin1String("%m")},
    {QLatin1String("dd"), QLatin1String("%d")},
    {QLatin1String("ww"), QLatin1String("%A")},
    {QLatin1String("w"), QLatin1String("%a")},
}};

constexpr QChar kCodeMark = QLatin1Char('%');

} // namespace

// One pass from left to right: a code once replaced is never looked at again, so no code can
// be found inside another code's replacement or across its edge.
QString DateFormatCodes::ToStored(const QString& userFormat) {
    QString stored;
    stored.reserve(userFormat.size() * 2);
    qsizetype at = 0;
    while (at < userFormat.size()) {
        if (userFormat.at(at) == kCodeMark) {
            // Already a stored code: kept whole, its letter is not a user code.
            const qsizetype length = at + 1 < userFormat.size() ? 2 : 1;
            stored += QStringView(userFormat).mid(at, length);
            at += length;
            continue;
        }
        bool replaced = false;
        for (const CodePair& code : kCodes) {
            if (QStringView(userFormat).mid(at).startsWith(code.user)) {
                stored += code.stored;
                at += code.user.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) stored += userFormat.at(at++);
    }
    return stored;
}

QString DateFormatCodes::ToUser(const QString& storedFormat) {
    QString user;
    user.reserve(storedFormat.size() * 2);
    qsizetype at = 0;
    while (at < storedFormat.size()) {
        if (storedFormat.at(at) != kCodeMark || at + 1 == storedFormat.size()) {
            user += storedFormat.at(at++);
            continue;
        }
        const QStringView code = QStringView(storedFormat).mid(at, 2);
        bool replaced = false;
        for (const CodePair& pair : kCodes) {
            if (code == pair.stored) {
                user += pair.user;
                replaced = true;
                break;
            }
        }
        if (!replaced) user += code;
        at += 2;
    }
    return user;
}

} // namespace tarnwick
