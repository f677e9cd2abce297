// The registry file reader on a damaged or hostile registry text, read as the runtime reads it:
// - Registry::Parse: a text it accepts serialises to a text that parses to the same registry, and
//   every key its listing names can be found again;
// - Load, and the class lookups that go through the file (CLSIDFromProgID, ProgIDFromCLSID), on
//   the text as the file $VELMORA_REGISTRY names: they agree with Parse and fail cleanly;
// - Update with a change that adds nothing: a text Parse refuses is left byte for byte as it was,
//   an accepted one is replaced by its serialised form.
#include <velmora/ComSupport.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "common/com/Registry.h"

namespace {

using velmora::com::registry::Registry;
namespace registry = velmora::com::registry;
namespace fuzz = velmora::fuzz;

constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT";
constexpr size_t kMostKeysWalked = 2000;
constexpr size_t kMostLookups = 16;

// Walks the key tree from the top: every listed key must be found by its path.
void CheckListing(const Registry& reg) {
    std::vector<std::string> pending = {""};
    size_t walked = 0;
    while (!pending.empty() && walked < kMostKeysWalked) {
        const std::string path = pending.back();
        pending.pop_back();
        for (const std::string& name : reg.SubKeys(path)) {
            const std::string child = path.empty() ? name : path + "\\" + name;
            FUZZ_CHECK(reg.HasKey(child), "a listed key cannot be found: " + child);
            pending.push_back(child);
            ++walked;
        }
    }
}

// The registry file's path for this run: a new name every time, so that no run is answered from
// the snapshot an earlier run's file left in the runtime's cache (a new file can have the old
// one's inode, size and time).
std::string NextRegistryPath() {
    static uint64_t runs = 0;
    return (fuzz::Scratch::Get().Root() / ("registry-" + std::to_string(++runs))).string();
}

void CheckClassLookups(const Registry& reg) {
    size_t lookups = 0;
    for (const std::string& name : reg.SubKeys(kClassesRoot)) {
        if (++lookups > kMostLookups) break;
        const std::u16string wide = velmora::com::ToUtf16(name);
        CLSID clsid{};
        const HRESULT hr = CLSIDFromProgID(wide.c_str(), &clsid);
        FUZZ_CHECK(hr == S_OK || hr == CO_E_CLASSSTRING,
                   "CLSIDFromProgID answered " + std::to_string(hr) + " for " + name);
        if (hr != S_OK) continue;
        LPOLESTR progID = nullptr;
        const HRESULT back = ProgIDFromCLSID(clsid, &progID);
        FUZZ_CHECK(back == S_OK || back == REGDB_E_CLASSNOTREG,
                   "ProgIDFromCLSID answered " + std::to_string(back));
        FUZZ_CHECK((back == S_OK) == (progID != nullptr),
                   "ProgIDFromCLSID's name and status differ");
        CoTaskMemFree(progID);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(fuzz::AsText(data, size));
    const std::optional<Registry> parsed = Registry::Parse(text);
    if (parsed) {
        const std::string serialised = parsed->Serialize();
        const std::optional<Registry> again = Registry::Parse(serialised);
        FUZZ_CHECK(again.has_value(), "the serialised registry does not parse:\n" + serialised);
        FUZZ_CHECK(again->Serialize() == serialised,
                   "the serialised registry reads back differently:\n" + serialised);
        CheckListing(*parsed);
    }

    const std::string path = NextRegistryPath();
    fuzz::WriteBytes(path, text);
    setenv("VELMORA_REGISTRY", path.c_str(), 1);

    Registry loaded;
    const HRESULT load = registry::Load(&loaded);
    FUZZ_CHECK(load == (parsed ? S_OK : REGDB_E_READREGDB),
               "Load disagrees with Parse: " + std::to_string(load));
    if (parsed) FUZZ_CHECK(loaded.Serialize() == parsed->Serialize(), "Load read another registry");

    if (parsed) {
        CheckClassLookups(*parsed);
    } else {
        CLSID clsid{};
        FUZZ_CHECK(CLSIDFromProgID(u"Velmora.Bug.1", &clsid) == REGDB_E_READREGDB,
                   "a class was looked up in a file that does not parse");
    }

    const HRESULT update = registry::Update([](Registry&) {});
    const std::string after = fuzz::ReadBytes(path);
    if (parsed) {
        FUZZ_CHECK(update == S_OK, "Update of a readable file failed: " + std::to_string(update));
        FUZZ_CHECK(after == parsed->Serialize(), "Update wrote another registry");
    } else {
        FUZZ_CHECK(update == REGDB_E_READREGDB,
                   "Update of a corrupt file answered " + std::to_string(update));
        FUZZ_CHECK(after == text, "Update changed a file it could not read");
    }
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".lock");
    unsetenv("VELMORA_REGISTRY");
    return 0;
}
