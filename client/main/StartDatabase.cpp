#include "client/main/StartDatabase.h"

#include <QFileInfo>

#include "client/server/ServerDataSource.h"

namespace tarnwick {

QString ResolvedDataSource(const QString& given) {
    if (given.isEmpty() || IsServerDataSource(given)) return given;
    return QFileInfo(given).absoluteFilePath();
}

QString StartDatabase(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-'))) continue;
        return ResolvedDataSource(arguments[i]);
    }
    return {};
}

} // namespace tarnwick
