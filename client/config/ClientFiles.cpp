#include "client/config/ClientFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace tarnwick {

namespace {

bool IsWritableDirectory(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir() &&
           ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

QString ProgramDirectory() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(program).absolutePath();
}

QString UserConfigDirectory() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the base directory rules say.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("tarnwick"));
}

QString ResolveClientFilePath(const QString& name, const QString& programDirectory,
                              bool programDirectoryWritable, const QString& userDirectory,
                              ClientFileUse use) {
    if (programDirectoryWritable) return QDir(programDirectory).filePath(name);
    const QString userFile = QDir(userDirectory).filePath(name);
    if (use == ClientFileUse::Write) {
        // A folder that cannot be made shows up as the write's own failure.
        QDir().mkpath(userDirectory);
        return userFile;
    }
    const QString programFile = QDir(programDirectory).filePath(name);
    if (!QFileInfo::exists(userFile) && QFileInfo::exists(programFile)) return programFile;
    return userFile;
}

QString ClientFilePath(const QString& name, ClientFileUse use) {
    const QString programDirectory = ProgramDirectory();
    return ResolveClientFilePath(name, programDirectory, IsWritableDirectory(programDirectory),
                                 UserConfigDirectory(), use);
}

} // namespace tarnwick
