#include "Bugs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "BugsCommands.h"
#include "EngineCall.h"
#include "MaskedMessage.h"

using velmora::tool::BugsCommand;
using velmora::tool::EngineError;
using velmora::tool::UsageError;

namespace {

int Usage(const std::string& complaint) {
    std::fprintf(stderr, "velmora: %s\n%s", complaint.c_str(), velmora::tool::kBugsUsage);
    return 2;
}

} // namespace

int RunBugs(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(velmora::tool::kBugsHelp, stdout);
            return 0;
        }
    }
    BugsCommand command;
    try {
        command = velmora::tool::ParseBugsCommand(arguments, std::getenv("VELMORA_PASSWORD"));
    } catch (const UsageError& error) {
        return Usage(error.what());
    }
    velmora::tool::ComApartment apartment;
    try {
        velmora::tool::BugsSession session(command);
        switch (command.verb) {
        case BugsCommand::Verb::List:
            velmora::tool::ListBugs(command, session);
            break;
        case BugsCommand::Verb::Show:
            velmora::tool::ShowBug(command, session);
            break;
        case BugsCommand::Verb::Add:
            velmora::tool::AddBug(command, session);
            break;
        case BugsCommand::Verb::Update:
            velmora::tool::UpdateBug(command, session);
            break;
        }
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const UsageError& error) {
        std::fflush(stdout);
        return Usage(error.what());
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "velmora: %s\n",
                     velmora::tool::MaskedMessage(error.what(), command.file).c_str());
        return 1;
    }
}
