#pragma once
// The registry of component classes: a tree of keys holding named text values, kept in one text
// file a person can read (in the style of exported registry files):
//
//   [HKEY_CLASSES_ROOT\Velmora.Bug.1]
//   @="Bug Class"
//   [HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32]
//   @="/usr/local/lib/libVelmora.so"
//   "ThreadingModel"="Apartment"
//
// Key paths are separated by '\'; key and value names compare without regard to (ASCII) case and
// keep the spelling they were created with. Inside quotes, '\\', '\"', '\n', '\r', '\t' and
// '\xHH' are escapes.
#include <velmora/Com.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::com::registry {

// The file: $VELMORA_REGISTRY when set, else ${XDG_CONFIG_HOME:-$HOME/.config}/velmora/registry.
VELMORA_RUNTIME_API std::string RegistryFilePath();

// Where `velmora register --system` keeps the machine's registrations.
inline constexpr const char* kSystemRegistryFile = "/etc/xdg/velmora/registry";

// The system-wide file that lookups read when the user's file does not answer them:
// velmora/registry in the first directory of ${XDG_CONFIG_DIRS:-/etc/xdg} that has one (relative
// entries are ignored). Empty when $VELMORA_REGISTRY is set, which names the only file to read, or
// when no directory has one.
VELMORA_RUNTIME_API std::string SystemRegistryFilePath();

class VELMORA_RUNTIME_API Registry {
  public:
    // Paths name keys from the top, e.g. "HKEY_CLASSES_ROOT\\CLSID\\{...}\\InprocServer32". Empty
    // components (doubled or outer separators) are ignored. A key name holding a control
    // character or invalid UTF-8 is refused with std::invalid_argument.
    bool HasKey(const std::string& path) const;
    // Creates the key with all its parents.
    void CreateKey(const std::string& path);
    // Sets a value (name "" is the key's default value), creating the key when needed.
    void SetValue(const std::string& path, const std::string& name, const std::string& value);
    std::optional<std::string> GetValue(const std::string& path, const std::string& name) const;
    void DeleteValue(const std::string& path, const std::string& name);
    // Removes the key and everything under it.
    void DeleteTree(const std::string& path);
    // The names of the key's direct subkeys; the path "" lists the top-level keys.
    std::vector<std::string> SubKeys(const std::string& path) const;
    // True when no key holds a value (keys alone carry nothing a lookup could find).
    bool HoldsNoValues() const;

    // The file text, and back. Parse refuses (std::nullopt) anything that is not such a file.
    std::string Serialize() const;
    static std::optional<Registry> Parse(const std::string& text);

  private:
    struct Key {
        std::string path; // as first spelled
        // Folded name -> (name as first spelled, value).
        std::map<std::string, std::pair<std::string, std::string>> values;
    };
    // Orders folded paths so that every key comes right before its descendants.
    struct PathOrder {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using KeyMap = std::map<std::string, Key, PathOrder>;

    // The key named by path, created with its parents when missing (throws on a bad name).
    Key& EnsureKey(const std::string& path);
    // The key named by path, or null when there is none (or the path is not a valid one).
    const Key* FindKey(const std::string& path) const;

    // The descendants of the key with folded path `folded` (all keys when it is empty).
    std::pair<KeyMap::const_iterator, KeyMap::const_iterator>
    DescendantRange(const std::string& folded) const;

    KeyMap keys_; // by folded path
};

// Reads the file. A missing file is an empty registry; an unreadable or corrupt one gives
// REGDB_E_READREGDB.
VELMORA_RUNTIME_API HRESULT Load(Registry* out);

// Runs `change` on the current contents under an exclusive lock (flock on "<file>.lock") and
// replaces the file atomically (temporary file in the same directory, fsync, rename), so that
// readers see the old or the new contents and two writers at once lose nothing. A file that
// cannot be read or is corrupt is left alone (REGDB_E_READREGDB); a change that throws or a file
// that cannot be written gives REGDB_E_WRITEREGDB.
VELMORA_RUNTIME_API HRESULT Update(const std::function<void(Registry&)>& change);

// Removes the file and its lock file when no key in it holds a value any more (what is left once
// every server has unregistered), under the same lock as Update. S_OK when the file is gone
// (removed now, or there was none), S_FALSE when it holds values; REGDB_E_READREGDB for a file that
// cannot be read or is corrupt (it is left alone), REGDB_E_WRITEREGDB when it cannot be removed.
VELMORA_RUNTIME_API HRESULT RemoveIfEmpty();

} // namespace velmora::com::registry
