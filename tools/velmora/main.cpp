// `velmora`: the command-line tool that creates databases, registers the engine, summarises
// a database and works on its bugs from scripts.
#include <cstdio>
#include <cstring>

#include <string>
#include <vector>

#include "ArgvMask.h"
#include "Bugs.h"
#include "Copy.h"
#include "Demo.h"
#include "NewDb.h"
#include "ServerRegistration.h"
#include "Summary.h"

namespace {

constexpr const char* kUsage =
    "Usage: velmora COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  newdb FILE    create an empty database in FILE (an existing file is never overwritten;\n"
    "                a server database must hold no tables)\n"
    "  demo FILE [--bugs N] [--seed S]\n"
    "                create FILE as a new database filled with a demo team and N bugs and\n"
    "                features (default 200), the same for the same N and seed S (default 1);\n"
    "                velmora demo --help tells more\n"
    "  copy SOURCE DESTINATION\n"
    "                copy a whole database, with its attachments, into a new FILE or an empty\n"
    "                server database, checked table by table before it is kept;\n"
    "                velmora copy --help tells more\n"
    "  register [--system]\n"
    "                register the engine's classes and type library; --system registers\n"
    "                them for every user of the machine in /etc/xdg/velmora/registry\n"
    "  unregister [--system]\n"
    "                remove the engine's registration (from the machine's file with --system)\n"
    "  summary FILE [LOGIN [PASSWORD]]\n"
    "                open FILE through the object model, log in (default Admin with the empty\n"
    "                password) and print the user, the lookup lists, the products, users and\n"
    "                roles, and the bugs and features of every version by status\n"
    "  bugs list FILE --login L [--password P] (--version V | --role R) [--features]\n"
    "       [--where FIELD OP VALUE]... [--any] [--sort COLUMN[:desc]] [--format table|csv|json]\n"
    "                the bugs (or features) of a version as the client lists them\n"
    "  bugs show FILE --login L ... ID\n"
    "                every field of one bug, its long texts as plain text, its attachments\n"
    "  bugs add FILE --login L ... --description TEXT [--feature] [--status S] [--priority P]\n"
    "       [--severity S] [--reproducibility R] [--classification NAME] [--report TEXT]\n"
    "       [--attach PATH]...\n"
    "                reports a bug or feature and prints its ID\n"
    "  bugs update FILE --login L ... ID [--status S] [--description TEXT] ...\n"
    "                changes the given fields of a bug and prints its ID;\n"
    "                velmora bugs --help tells all of it (the password may also come from\n"
    "                $VELMORA_PASSWORD)\n"
    "  --help        show this text\n"
    "\n"
    "Wherever a command takes a FILE, a SOURCE or a DESTINATION, a server database may be given\n"
    "as postgresql://[USER[:PASSWORD]@]HOST[:PORT]/DATABASE; a password there is hidden from the\n"
    "process list, but ~/.pgpass or $PGPASSWORD keep it off the command line altogether.\n"
    "\n"
    "The registry file is $VELMORA_REGISTRY when set, else\n"
    "${XDG_CONFIG_HOME:-$HOME/.config}/velmora/registry; without $VELMORA_REGISTRY, a class it\n"
    "does not know is looked up in velmora/registry in the first of ${XDG_CONFIG_DIRS:-/etc/xdg}\n"
    "that has one. The engine library is $VELMORA_LIBRARY\n"
    "when set, else libVelmora.so in the lib directory beside this program's directory.\n";

int Usage(const char* complaint) {
    std::fprintf(stderr, "velmora: %s (try velmora --help)\n", complaint);
    return 2;
}

} // namespace

int main(int argc, char** originalArgv) {
    // Every command works on copies of its arguments; the originals, which the process list
    // shows, lose any password given inside a server URI.
    std::vector<std::string> arguments = velmora::tool::TakeArguments(argc, originalArgv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    char** argv = pointers.data();
    if (argc < 2) return Usage("no command given");
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0 ||
        std::strcmp(command, "help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(command, "newdb") == 0) return RunNewDb(argc - 1, argv + 1);
    if (std::strcmp(command, "demo") == 0) return RunDemo(argc - 2, argv + 2);
    if (std::strcmp(command, "copy") == 0) return RunCopy(argc - 2, argv + 2);
    if (std::strcmp(command, "summary") == 0) return RunSummary(argc - 2, argv + 2);
    if (std::strcmp(command, "bugs") == 0) return RunBugs(argc - 2, argv + 2);
    if (std::strcmp(command, "register") == 0 || std::strcmp(command, "unregister") == 0) {
        const bool system = argc == 3 && std::strcmp(argv[2], "--system") == 0;
        if (argc > 2 && !system) return Usage("register and unregister take only --system");
        return RunServerRegistration(std::strcmp(command, "unregister") == 0,
                                     system ? RegistryScope::kSystem : RegistryScope::kUser);
    }
    std::fprintf(stderr, "velmora: unknown command '%s' (try velmora --help)\n", command);
    return 2;
}
