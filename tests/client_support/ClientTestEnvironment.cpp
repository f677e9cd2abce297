#include "tests/client_support/ClientTestEnvironment.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include <velmora/Com.h>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

namespace {

// An engine failure that escapes a test ends the program; say what the engine said first.
[[noreturn]] void ReportEscapedFailure() {
    try {
        if (std::current_exception()) std::rethrow_exception(std::current_exception());
    } catch (const EngineFailure& failure) {
        std::fprintf(stderr, "uncaught engine failure 0x%08X: %s\n",
                     static_cast<unsigned>(failure.status), qPrintable(failure.text));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "uncaught exception: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "uncaught exception\n");
    }
    std::abort();
}

} // namespace

ClientTestEnvironment::ClientTestEnvironment() {
    std::set_terminate(ReportEscapedFailure);
    if (!folder_.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        std::exit(2);
    }
    qputenv("VELMORA_REGISTRY", File(QStringLiteral("registry")).toUtf8());
    qputenv("VELMORA_LIBRARY", VELMORA_LIBRARY_PATH);
    QString output;
    if (RunTool({QStringLiteral("register")}, &output) != 0) {
        std::fprintf(stderr, "cannot register the engine: %s\n", qPrintable(output));
        std::exit(2);
    }
    CoInitialize(nullptr);
}

ClientTestEnvironment::~ClientTestEnvironment() {
    CoUninitialize();
}

QString ClientTestEnvironment::File(const QString& name) const {
    return folder_.filePath(name);
}

QString ClientTestEnvironment::NewDatabase(const QString& name) const {
    const QString path = File(name);
    QString output;
    if (RunTool({QStringLiteral("newdb"), path}, &output) != 0)
        qFatal("velmora newdb failed: %s", qPrintable(output));
    return path;
}

QString ClientTestEnvironment::DemoDatabase(const QString& name, int bugs, int seed) const {
    const QString path = File(name);
    if (QFileInfo::exists(path)) return path;
    QString output;
    if (RunTool({QStringLiteral("demo"), path, QStringLiteral("--bugs"), QString::number(bugs),
                 QStringLiteral("--seed"), QString::number(seed)},
                &output) != 0)
        qFatal("velmora demo failed: %s", qPrintable(output));
    return path;
}

int ClientTestEnvironment::RunTool(const QStringList& arguments, QString* output) const {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(VELMORA_TOOL_PATH), arguments);
    if (!tool.waitForFinished(600000)) return -1;
    if (output) *output = QString::fromUtf8(tool.readAll());
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

} // namespace tarnwick::test
