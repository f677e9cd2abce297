#include "client/main/AboutText.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace tarnwick {

QString EngineLibraryFile(IUnknown* engineObject) {
    if (!engineObject) return {};
    // The object's first word points at its table of methods, which the library defines.
    void* const methods = *reinterpret_cast<void**>(engineObject);
    Dl_info info{};
    if (dladdr(methods, &info) == 0 || !info.dli_fname) return {};
    const QFileInfo file(QString::fromLocal8Bit(info.dli_fname));
    const QString target = file.canonicalFilePath();
    return target.isEmpty() ? file.absoluteFilePath() : target;
}

QString EngineVersion(const QString& libraryFile) {
    // The library is loaded already; this only takes another reference to it.
    void* const library = dlopen(libraryFile.toLocal8Bit().constData(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return {};
    QString version;
    using VersionFunction = const char* (*)();
    if (auto function = reinterpret_cast<VersionFunction>(dlsym(library, "VelmoraEngineVersion")))
        version = QString::fromUtf8(function());
    dlclose(library);
    return version;
}

QString AboutText(const QString& programVersion, IUnknown* engineObject) {
    const QString text = QStringLiteral("Tarnwick %1\nA bug and feature-request tracker for "
                                        "small software teams.")
                             .arg(programVersion);
    const QString library = EngineLibraryFile(engineObject);
    if (library.isEmpty()) return text + QStringLiteral("\n\nEngine: not loaded");
    QString version = EngineVersion(library);
    if (version.isEmpty()) version = QStringLiteral("(version unknown)");
    return text + QStringLiteral("\n\nEngine: Velmora %1\n%2").arg(version, library);
}

} // namespace tarnwick
