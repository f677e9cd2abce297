// The `velmora` tool's register, unregister and help commands, run as a user would.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestSupport.h"
#include "common/com/Registry.h"

namespace velmora::test {
namespace {

struct Outcome {
    int status = -1;
    std::string output; // stdout and stderr together
};

Outcome RunTool(const std::string& arguments) {
    Outcome outcome;
    const std::string command = std::string(VELMORA_TOOL_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[512];
    while (size_t read = fread(buffer, 1, sizeof(buffer), pipe))
        outcome.output.append(buffer, read);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

class VelmoraTool : public ::testing::Test {
  protected:
    TempDir dir_;
    ScopedEnv registry_{"VELMORA_REGISTRY", dir_.File("registry")};
    ScopedEnv library_{"VELMORA_LIBRARY", std::string(VELMORA_LIBRARY_PATH)};

    bool Registered() {
        com::registry::Registry registry;
        return com::registry::Load(&registry) == S_OK &&
               registry.HasKey("HKEY_CLASSES_ROOT\\Velmora.ExeContext.1");
    }
};

TEST_F(VelmoraTool, RegistersAndUnregistersTheEngine) {
    Outcome outcome = RunTool("register");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("Registered "), std::string::npos);
    EXPECT_TRUE(Registered());
    outcome = RunTool("unregister");
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_FALSE(Registered());

    ScopedEnv noOverride("VELMORA_LIBRARY", std::nullopt); // found in the build tree unaided
    EXPECT_EQ(RunTool("register").status, 0);
    EXPECT_TRUE(Registered());
}

TEST_F(VelmoraTool, ReportsALibraryThatCannotBeLoaded) {
    ScopedEnv missing("VELMORA_LIBRARY", dir_.File("nowhere/libVelmora.so"));
    Outcome outcome = RunTool("register");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("cannot find the engine library"), std::string::npos);
    EXPECT_EQ(outcome.output.find('\n'), outcome.output.size() - 1); // one line

    ScopedEnv notALibrary("VELMORA_LIBRARY", dir_.File("empty.so"));
    std::ofstream(dir_.File("empty.so")).close();
    outcome = RunTool("register");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("cannot load"), std::string::npos);
    EXPECT_FALSE(Registered());
}

TEST_F(VelmoraTool, ReportsARegistryThatCannotBeWritten) {
    std::filesystem::create_directory(dir_.Path() / "blocked");
    ScopedEnv blocked("VELMORA_REGISTRY", dir_.File("blocked"));
    const Outcome outcome = RunTool("register");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("registration failed"), std::string::npos);
}

TEST_F(VelmoraTool, ExplainsItsCommands) {
    Outcome outcome = RunTool("--help");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.output.find("newdb FILE"), std::string::npos);

    EXPECT_EQ(RunTool("").status, 2);
    EXPECT_EQ(RunTool("register extra").status, 2);
    outcome = RunTool("frobnicate");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("unknown command 'frobnicate'"), std::string::npos);
}

} // namespace
} // namespace velmora::test
