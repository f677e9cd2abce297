#include "client/server/ServerDataSource.h"

namespace tarnwick {

namespace {

const QString kMask = QStringLiteral("****");

// "password=VALUE" among the query parameters (after '?', separated by '&'), in any case.
QString MaskQueryPassword(QString text) {
    const qsizetype query = text.indexOf(QLatin1Char('?'));
    if (query < 0) return text;
    static const QString key = QStringLiteral("password=");
    qsizetype pos = query + 1;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('&'), pos);
        if (end < 0) end = text.size();
        if (QStringView(text).mid(pos, end - pos).startsWith(key, Qt::CaseInsensitive)) {
            const qsizetype value = pos + key.size();
            text.replace(value, end - value, kMask);
            end = value + kMask.size();
        }
        pos = end + 1;
    }
    return text;
}

} // namespace

bool IsServerDataSource(const QString& dataSource) {
    return dataSource.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           dataSource.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString MaskedDataSource(const QString& dataSource) {
    if (!IsServerDataSource(dataSource)) return dataSource;
    QString text = dataSource;
    const qsizetype authority = text.indexOf(QLatin1String("://")) + 3;
    // The user information ends at the last '@' before the path or the query, so a '@' inside
    // the password is masked with the rest of it.
    qsizetype hostEnd = authority;
    while (hostEnd < text.size() && text[hostEnd] != QLatin1Char('/') &&
           text[hostEnd] != QLatin1Char('?'))
        ++hostEnd;
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'), hostEnd - 1);
    if (at >= authority) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'), authority);
        if (colon >= 0 && colon < at) text.replace(colon + 1, at - colon - 1, kMask);
    }
    return MaskQueryPassword(text);
}

QString MaskedInText(const QString& text, const QString& dataSource) {
    if (!IsServerDataSource(dataSource)) return text;
    const QString masked = MaskedDataSource(dataSource);
    if (masked == dataSource) return text;
    QString result = text;
    return result.replace(dataSource, masked);
}

} // namespace tarnwick
