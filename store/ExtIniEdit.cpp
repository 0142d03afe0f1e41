// The definition-file model: changing keys and sections.
#include "ExtIniFile.h"

#include "TextUtils.h"

void TExtIniSection::WriteValue(const std::string& key, const std::string& value) {
    TExtIniItem* item = FindItem(key);
    if (!item)
        item = AppendItem();
    item->SetKeyValue(key, value);
}

void TExtIniSection::DeleteKey(const std::string& key) {
    RemoveItem(FindItem(key));
}

void TExtIniFile::WriteValue(const std::string& section, const std::string& key,
                             const std::string& value) {
    if (TExtIniSection* s = AddSection(section))
        s->WriteValue(key, value);
}

void TExtIniFile::DeleteKey(const std::string& section, const std::string& key) {
    if (TExtIniSection* s = FindSection(section))
        s->DeleteKey(key);
}

void TExtIniFile::DeleteSection(const std::string& name) {
    // The name is not trimmed here: " foo" matches no stored (trimmed) name.
    auto it = FSectionIndex.find(LocaleSortKey(name, true));
    if (it == FSectionIndex.end())
        return;
    TExtIniSection* victim = it->second;
    TExtIniSection* prev = nullptr;
    for (TExtIniSection* s = FFirstSection; s != victim; s = s->FNext)
        prev = s;
    if (prev)
        prev->FNext = victim->FNext;
    else
        FFirstSection = victim->FNext;
    if (FLastSection == victim)
        FLastSection = prev;
    --FSectionCount;
    FSectionIndex.erase(it);
    delete victim;
}
