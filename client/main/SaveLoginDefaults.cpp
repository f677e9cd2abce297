#include "client/main/SaveLoginDefaults.h"

#include "client/adapter/EngineCall.h"
#include "client/config/ClientConfig.h"
#include "client/config/ClientFiles.h"
#include "client/main/StartDatabase.h"
#include "client/server/ServerDataSource.h"

namespace tarnwick {

const char* const kSaveLoginUsage =
    "Usage: tarnwick --save-login DATABASE --login NAME [--password PASSWORD]\n"
    "                [--version PRODUCT/VERSION | --role ROLE] [--date-format FORMAT]\n"
    "Writes Bug.cfg so that Tarnwick opens DATABASE at start-up, logs NAME in and makes the\n"
    "version (or role) current. The password is stored enciphered, readable by you only.\n"
    "DATABASE is a file or a server URI (postgresql://user@host:5432/team); keep a server's\n"
    "password in ~/.pgpass rather than in the URI.\n";

namespace {

struct Request {
    QString database, login, password, version, role, dateFormat;
};

} // namespace

LONG FindVersionID(IExeContext* session, const QString& wanted) {
    const qsizetype slash = wanted.lastIndexOf(QLatin1Char('/'));
    const QString productName = wanted.left(slash), versionName = wanted.mid(slash + 1);
    const ComPtr<IProductSet> products = Object(session, &IExeContext::get_CurUserProductSet);
    const LONG count = products ? Long(products.Get(), &IProductSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IProduct> product = Item(products.Get(), &IProductSet::get_Item, i);
        if (!product || Text(product.Get(), &IProduct::get_Name) != productName) continue;
        const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
        for (LONG v = 0; v < versions; ++v) {
            const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, v);
            if (version && Text(version.Get(), &IVersion::get_Name) == versionName)
                return Long(version.Get(), &IVersion::get_ID);
        }
    }
    return 0;
}

namespace {

// The identifier of the user's role of that name, or 0.
LONG FindRole(IExeContext* session, const QString& wanted) {
    const ComPtr<IUser> user = Object(session, &IExeContext::get_CurUser);
    const ComPtr<IRoleSet> roles = user ? Object(user.Get(), &IUser::get_RoleSet) : nullptr;
    const LONG count = roles ? Long(roles.Get(), &IRoleSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
        if (role && Text(role.Get(), &IRole::get_Name) == wanted)
            return Long(role.Get(), &IRole::get_ID);
    }
    return 0;
}

bool Parse(const QStringList& arguments, Request& request, QString& problem) {
    if (arguments.isEmpty()) {
        problem = QStringLiteral("DATABASE is missing");
        return false;
    }
    // A server URI stays as it is; a file is kept by its full path, whatever the current folder.
    request.database = ResolvedDataSource(arguments[0]);
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        if (i + 1 >= arguments.size()) {
            problem = option + QStringLiteral(" needs a value");
            return false;
        }
        const QString& value = arguments[i + 1];
        if (option == QLatin1String("--login"))
            request.login = value;
        else if (option == QLatin1String("--password"))
            request.password = value;
        else if (option == QLatin1String("--version"))
            request.version = value;
        else if (option == QLatin1String("--role"))
            request.role = value;
        else if (option == QLatin1String("--date-format"))
            request.dateFormat = value;
        else {
            problem = QStringLiteral("unknown option ") + option;
            return false;
        }
    }
    if (request.login.isEmpty())
        problem = QStringLiteral("--login is missing");
    else if (!request.version.isEmpty() && !request.role.isEmpty())
        problem = QStringLiteral("give --version or --role, not both");
    else if (!request.version.isEmpty() && !request.version.contains(QLatin1Char('/')))
        problem = QStringLiteral("--version takes PRODUCT/VERSION");
    return problem.isEmpty();
}

} // namespace

int SaveLoginDefaults(const QStringList& arguments, QTextStream& out, QTextStream& errors) {
    Request request;
    QString problem;
    if (!Parse(arguments, request, problem)) {
        errors << "tarnwick --save-login: " << problem << "\n" << kSaveLoginUsage;
        return 2;
    }
    ClientConfig config;
    config.UseDefaultDatabase = 1;
    config.UseDefaultLogin = 1;
    config.SavePassword = 1;
    config.DatabasePath = request.database;
    config.LoginName = request.login;
    config.Password = request.password;
    config.DateFormat = request.dateFormat;
    // Check the login (and find the version or role) the way the client will use it.
    const bool checked = Attempt(
        [&] {
            const auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
            Check(session->OpenAccessDB(ToBstr(request.database).Get()));
            Check(session->Login(ToBstr(request.login).Get(), ToBstr(request.password).Get()));
            if (!request.version.isEmpty()) {
                config.DefaultVersionID = FindVersionID(session.Get(), request.version);
                if (config.DefaultVersionID == 0)
                    problem = QStringLiteral("no version ") + request.version +
                              QStringLiteral(" among the products of ") + request.login;
            } else if (!request.role.isEmpty()) {
                config.DefaultRoleID = FindRole(session.Get(), request.role);
                if (config.DefaultRoleID == 0)
                    problem = request.login + QStringLiteral(" has no role ") + request.role;
            }
            config.UseDefaultRoleOrProduct = config.DefaultVersionID || config.DefaultRoleID;
            session->Close();
        },
        [&](const EngineFailure& failure) { problem = failure.text; });
    if (!checked || !problem.isEmpty()) {
        // The engine's message may quote a server URI with its password.
        errors << "tarnwick --save-login: " << MaskedInText(problem, request.database) << "\n";
        return 1;
    }
    const QString file = ClientFilePath(QStringLiteral("Bug.cfg"), ClientFileUse::Write);
    const QString error = config.Save(file);
    if (!error.isEmpty()) {
        errors << "tarnwick --save-login: " << file << ": " << error << "\n";
        return 1;
    }
    out << "Saved " << file << "\n";
    return 0;
}

} // namespace tarnwick
