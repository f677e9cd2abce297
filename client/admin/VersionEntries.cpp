#include "client/admin/VersionEntries.h"

namespace tarnwick::admin {

namespace {
bool SameVersion(IVersion* a, IVersion* b) {
    if (a == b) return true;
    const LONG id = Long(a, &IVersion::get_ID);
    return id != 0 && id == Long(b, &IVersion::get_ID);
}
} // namespace

LONG VersionIndex(IProduct* product, IVersion* version) {
    const LONG count = Long(product, &IProduct::get_VersionCount);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IVersion> candidate = Item(product, &IProduct::get_Version, i);
        if (SameVersion(candidate.Get(), version)) return i;
    }
    return -1;
}

void VersionEntries::load(IProduct* product) {
    QList<VersionEntry> loaded;
    const LONG count = Long(product, &IProduct::get_VersionCount);
    for (LONG i = 0; i < count; ++i) {
        VersionEntry entry;
        entry.version = Item(product, &IProduct::get_Version, i);
        entry.name = Text(entry.version.Get(), &IVersion::get_Name);
        entry.description = Text(entry.version.Get(), &IVersion::get_Description);
        entry.releaseDate = Date(entry.version.Get(), &IVersion::get_ReleaseDate);
        entry.state = VersionEntry::Unchanged;
        loaded.append(entry);
    }
    entries_ = loaded;
}

void VersionEntries::add(const QString& name, const QString& description, DATE releaseDate) {
    VersionEntry entry;
    entry.name = name;
    entry.description = description;
    entry.releaseDate = releaseDate;
    entries_.append(entry);
}

void VersionEntries::edit(int index, const QString& name, const QString& description,
                          DATE releaseDate) {
    VersionEntry& entry = entries_[index];
    entry.name = name;
    entry.description = description;
    entry.releaseDate = releaseDate;
    if (entry.state == VersionEntry::Unchanged) entry.state = VersionEntry::Edited;
}

void VersionEntries::remove(int index) {
    if (!entries_.at(index).version)
        entries_.removeAt(index);
    else
        entries_[index].state = VersionEntry::Deleted;
}

void VersionEntries::apply(IProduct* product) {
    for (int i = 0; i < entries_.size();) {
        VersionEntry& entry = entries_[i];
        switch (entry.state) {
        case VersionEntry::Deleted: {
            const LONG at = VersionIndex(product, entry.version.Get());
            if (at >= 0) Check(product->RemoveVersionAt(at));
            entries_.removeAt(i);
            continue;
        }
        case VersionEntry::Edited:
            Check(entry.version->put_Name(ToBstr(entry.name).Get()));
            Check(entry.version->put_Description(ToBstr(entry.description).Get()));
            Check(entry.version->put_ReleaseDate(entry.releaseDate));
            break;
        case VersionEntry::Added: {
            ComPtr<IVersion> added;
            Check(product->AddVersion(ToBstr(entry.name).Get(), ToBstr(entry.description).Get(),
                                      entry.releaseDate, added.Put()));
            entry.version = added;
            break;
        }
        case VersionEntry::Unchanged:
            break;
        }
        entry.state = VersionEntry::Unchanged;
        ++i;
    }
}

} // namespace tarnwick::admin
