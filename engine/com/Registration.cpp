#include "engine/com/Registration.h"

#include <velmora/ComSupport.h>

#include "common/com/Registry.h"
#include "engine/com/ClassTable.h"
#include "engine/com/generated/ClassInfos.h"

namespace velmora::engine {

namespace {

const std::string kClassesRoot = "HKEY_CLASSES_ROOT\\";

std::string Text(std::string_view view) {
    return std::string(view);
}

std::string ClassKey(const ClassInfo& cls) {
    return kClassesRoot + "CLSID\\" + com::GuidToString(cls.clsid);
}

std::string TypeLibraryKey() {
    return kClassesRoot + "TypeLib\\" + com::GuidToString(classes::kTypeLibrary.libid);
}

std::string TypeLibraryVersionKey() {
    const TypeLibraryInfo& library = classes::kTypeLibrary;
    return TypeLibraryKey() + "\\" + std::to_string(library.majorVersion) + "." +
           std::to_string(library.minorVersion);
}

// The directory part of a path, without its trailing separator ("/" stays "/").
std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void WriteClass(com::registry::Registry& registry, const ClassInfo& cls,
                const std::string& libraryPath) {
    const std::string clsid = com::GuidToString(cls.clsid);
    const std::string description = Text(cls.description);

    const std::string progIdKey = kClassesRoot + Text(cls.progId);
    registry.DeleteTree(progIdKey);
    registry.SetValue(progIdKey, "", description);
    registry.SetValue(progIdKey + "\\CLSID", "", clsid);

    const std::string independentKey = kClassesRoot + Text(cls.versionIndependentProgId);
    registry.DeleteTree(independentKey);
    registry.SetValue(independentKey, "", description);
    registry.SetValue(independentKey + "\\CLSID", "", clsid);
    registry.SetValue(independentKey + "\\CurVer", "", Text(cls.progId));

    const std::string classKey = ClassKey(cls);
    registry.DeleteTree(classKey);
    registry.SetValue(classKey, "", description);
    registry.SetValue(classKey + "\\ProgID", "", Text(cls.progId));
    registry.SetValue(classKey + "\\VersionIndependentProgID", "",
                      Text(cls.versionIndependentProgId));
    registry.CreateKey(classKey + "\\Programmable");
    registry.SetValue(classKey + "\\InprocServer32", "", libraryPath);
    registry.SetValue(classKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    registry.SetValue(classKey + "\\TypeLib", "", com::GuidToString(classes::kTypeLibrary.libid));
}

void WriteTypeLibrary(com::registry::Registry& registry, const std::string& libraryPath) {
    const std::string versionKey = TypeLibraryVersionKey();
    registry.DeleteTree(versionKey);
    registry.SetValue(versionKey, "", Text(classes::kTypeLibrary.helpString));
    registry.SetValue(versionKey + "\\0\\linux", "", libraryPath);
    registry.SetValue(versionKey + "\\FLAGS", "", "0");
    registry.SetValue(versionKey + "\\HELPDIR", "", DirectoryOf(libraryPath));
}

} // namespace

void WriteRegistration(com::registry::Registry& registry, const std::string& libraryPath) {
    for (const ClassEntry& entry : ClassTable())
        WriteClass(registry, *entry.info, libraryPath);
    WriteTypeLibrary(registry, libraryPath);
}

void RemoveRegistration(com::registry::Registry& registry) {
    for (const ClassEntry& entry : ClassTable()) {
        const ClassInfo& cls = *entry.info;
        registry.DeleteTree(kClassesRoot + Text(cls.progId));
        registry.DeleteTree(kClassesRoot + Text(cls.versionIndependentProgId));
        registry.DeleteTree(ClassKey(cls));
    }
    registry.DeleteTree(TypeLibraryVersionKey());
    // The library's key goes too once no other version of it is registered.
    if (registry.HasKey(TypeLibraryKey()) && registry.SubKeys(TypeLibraryKey()).empty())
        registry.DeleteTree(TypeLibraryKey());
}

HRESULT RegisterServer(const std::string& libraryPath) {
    if (libraryPath.empty()) return E_INVALIDARG;
    return com::registry::Update([&libraryPath](com::registry::Registry& registry) {
        WriteRegistration(registry, libraryPath);
    });
}

HRESULT UnregisterServer() {
    return com::registry::Update(
        [](com::registry::Registry& registry) { RemoveRegistration(registry); });
}

} // namespace velmora::engine
