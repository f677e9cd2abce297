#include "client/admin/ClassificationEntries.h"

namespace tarnwick::admin {

namespace {
// Makes the classification with the ID the set's current one (the one Update writes); null when
// the set does not hold it.
ComPtr<IClassification> SelectByID(IClassificationSet* set, LONG id) {
    const LONG count = Long(set, &IClassificationSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IClassification> item = Item(set, &IClassificationSet::get_Item, i);
        if (Long(item.Get(), &IClassification::get_ID) == id) return item;
    }
    return {};
}
} // namespace

void ClassificationEntries::load(IClassificationSet* set) {
    QList<ClassificationEntry> loaded;
    const LONG count = Long(set, &IClassificationSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const ComPtr<IClassification> item = Item(set, &IClassificationSet::get_Item, i);
        loaded.append({Long(item.Get(), &IClassification::get_ID),
                       Text(item.Get(), &IClassification::get_Name),
                       ClassificationEntry::Unchanged});
    }
    entries_ = loaded;
}

int ClassificationEntries::shownCount() const {
    int count = 0;
    for (int i = 0; i < entries_.size(); ++i)
        if (isShown(i)) ++count;
    return count;
}

void ClassificationEntries::add(const QString& name) {
    entries_.append({0, name, ClassificationEntry::Added});
}

void ClassificationEntries::rename(int index, const QString& name) {
    ClassificationEntry& entry = entries_[index];
    entry.name = name;
    if (entry.state == ClassificationEntry::Unchanged) entry.state = ClassificationEntry::Edited;
}

void ClassificationEntries::remove(int index) {
    if (entries_.at(index).id == 0)
        entries_.removeAt(index);
    else
        entries_[index].state = ClassificationEntry::Deleted;
}

void ClassificationEntries::apply(IClassificationSet* set) {
    for (int i = 0; i < entries_.size();) {
        ClassificationEntry& entry = entries_[i];
        switch (entry.state) {
        case ClassificationEntry::Added: {
            const auto added = Create<IClassification>(CLSID_Classification, IID_IClassification);
            Check(added->put_Name(ToBstr(entry.name).Get()));
            Check(set->Add(added.Get()));
            entry.id = Long(added.Get(), &IClassification::get_ID);
            break;
        }
        case ClassificationEntry::Deleted:
            Check(set->RemoveByID(entry.id));
            entries_.removeAt(i);
            continue;
        case ClassificationEntry::Edited:
            // A classification that someone else removed meanwhile has nothing left to rename.
            if (const ComPtr<IClassification> item = SelectByID(set, entry.id)) {
                Check(item->put_Name(ToBstr(entry.name).Get()));
                Check(set->Update());
            }
            break;
        case ClassificationEntry::Unchanged:
            break;
        }
        entry.state = ClassificationEntry::Unchanged;
        ++i;
    }
}

} // namespace tarnwick::admin
