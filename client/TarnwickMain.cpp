// Tarnwick: the desktop client of the Velmora bug tracker.
#include <QApplication>
#include <QTextStream>

#include "client/adapter/EngineCall.h"
#include "client/config/ClientConfig.h"
#include "client/main/AppIcon.h"
#include "client/main/MainWindow.h"
#include "client/main/SaveLoginDefaults.h"
#include "client/main/StartDatabase.h"
#include "client/widgets/MessageSink.h"

namespace {

// The engine must be creatable before anything else is shown.
bool EngineAvailable() {
    return tarnwick::Attempt(
        [] { tarnwick::Create<IExeContext>(CLSID_ExeContext, IID_IExeContext); },
        [](const tarnwick::EngineFailure&) {});
}

// `tarnwick --save-login ...` and `tarnwick --help` work without a window.
int RunCommandLine(const QStringList& arguments) {
    QTextStream out(stdout), errors(stderr);
    if (arguments[1] == QLatin1String("--help")) {
        out << "Usage: tarnwick            start the client\n"
               "       tarnwick DATABASE   start the client and open DATABASE, a file or a server\n"
               "                           URI (postgresql://user@host:5432/team)\n"
            << tarnwick::kSaveLoginUsage;
        return 0;
    }
    CoInitialize(nullptr);
    const int status = tarnwick::SaveLoginDefaults(arguments.mid(2), out, errors);
    CoUninitialize();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Anything else on the command line is left to Qt (-platform, -style and the like).
    if (argc > 1 && (qstrcmp(argv[1], "--save-login") == 0 || qstrcmp(argv[1], "--help") == 0)) {
        QCoreApplication application(argc, argv);
        return RunCommandLine(QCoreApplication::arguments());
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    QApplication::setWindowIcon(tarnwick::AppIcon());
    CoInitialize(nullptr);
    tarnwick::MessageBoxSink messages;
    int status = 1;
    if (!EngineAvailable()) {
        messages.Inform(nullptr, QString::fromLatin1(tarnwick::kCannotCreateObject));
    } else {
        tarnwick::MainWindow window(messages, tarnwick::ClientConfig::Instance(),
                                    tarnwick::WindowFiles::Default(),
                                    tarnwick::StartDatabase(QCoreApplication::arguments()));
        if (window.created()) {
            window.show();
            status = QApplication::exec();
        }
    }
    CoUninitialize();
    return status;
}
