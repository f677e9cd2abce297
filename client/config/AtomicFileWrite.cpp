#include "client/config/AtomicFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Written on the system calls themselves rather than QSaveFile: a short write (a full disk, a
// file-size limit) must fail the whole write, and QSaveFile of Qt 6.4 commits the part written.

namespace tarnwick {

namespace {

QString SystemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The permissions a new file gets from the process's file-creation mask.
mode_t DefaultFileMode() {
    QFile status(QStringLiteral("/proc/self/status"));
    mode_t mask = 022;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) mask = static_cast<mode_t>(value);
            }
    }
    return 0666 & ~mask;
}

mode_t ModeOf(QFileDevice::Permissions permissions) {
    mode_t mode = 0;
    if (permissions & QFileDevice::ReadOwner) mode |= S_IRUSR;
    if (permissions & QFileDevice::WriteOwner) mode |= S_IWUSR;
    if (permissions & QFileDevice::ExeOwner) mode |= S_IXUSR;
    if (permissions & QFileDevice::ReadGroup) mode |= S_IRGRP;
    if (permissions & QFileDevice::WriteGroup) mode |= S_IWGRP;
    if (permissions & QFileDevice::ExeGroup) mode |= S_IXGRP;
    if (permissions & QFileDevice::ReadOther) mode |= S_IROTH;
    if (permissions & QFileDevice::WriteOther) mode |= S_IWOTH;
    if (permissions & QFileDevice::ExeOther) mode |= S_IXOTH;
    return mode;
}

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

QString WriteFileAtomically(const QString& path, const QByteArray& bytes,
                            std::optional<QFileDevice::Permissions> permissions) {
    const auto describe = [&path](int error) {
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), SystemMessage(error));
    };
    // A link is replaced where it points, so the link itself stays.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QFileInfo targetInfo(target);

    mode_t mode = DefaultFileMode();
    struct stat existing {};
    if (permissions)
        mode = ModeOf(*permissions);
    else if (::stat(QFile::encodeName(target).constData(), &existing) == 0)
        mode = existing.st_mode & 07777;

    QByteArray temporary = QFile::encodeName(targetInfo.absoluteDir().filePath(
                               QStringLiteral(".") + targetInfo.fileName())) +
                           ".XXXXXX";
    // mkstemp makes the file readable by its owner only; fchmod sets the final permissions
    // before any content is written.
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return describe(errno);
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes.constData(), bytes.size()) ||
        ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return describe(error);
    }
    return QString();
}

} // namespace tarnwick
