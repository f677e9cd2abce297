#include "client/attachments/ThreadBytesRead.h"

#include <QByteArray>
#include <QFile>

#include <unistd.h>

namespace tarnwick {

pid_t CurrentThreadId() {
    return gettid();
}

qint64 ThreadBytesRead(pid_t threadId) {
    QFile io(QStringLiteral("/proc/self/task/%1/io").arg(threadId));
    if (!io.open(QIODevice::ReadOnly)) return -1;
    // The file is generated on reading and has no size: read it line by line.
    static const QByteArray kField = QByteArrayLiteral("rchar:");
    for (QByteArray line = io.readLine(); !line.isEmpty(); line = io.readLine()) {
        if (!line.startsWith(kField)) continue;
        bool ok = false;
        const qint64 bytes = line.mid(kField.size()).trimmed().toLongLong(&ok);
        return ok ? bytes : -1;
    }
    return -1;
}

} // namespace tarnwick
