// The definition-file model: changing keys and sections.
#include "ExtIniFile.h"

#include "TextUtils.h"

bool TExtIniSection::WriteValue(const std::string& key, const std::string& value) {
    if (!TExtIniItem::IsWritable(key, value))
        return false;
    TExtIniItem* item = FindItem(key);
    if (!item)
        item = AppendItem();
    item->SetKeyValue(key, value);
    return true;
}

bool TExtIniSection::DeleteKey(const std::string& key) {
    TExtIniItem* item = FindItem(key);
    RemoveItem(item);
    return item != nullptr;
}

bool TExtIniFile::WriteValue(const std::string& section, const std::string& key,
                             const std::string& value) {
    // The line is checked first, so a refused one does not leave a new empty section behind.
    if (!TExtIniItem::IsWritable(key, value))
        return false;
    TExtIniSection* s = AddSection(section);
    return s && s->WriteValue(key, value);
}

bool TExtIniFile::DeleteKey(const std::string& section, const std::string& key) {
    TExtIniSection* s = FindSection(section);
    return s && s->DeleteKey(key);
}

bool TExtIniFile::DeleteSection(const std::string& name) {
    // The name is not trimmed here: " foo" matches no stored (trimmed) name.
    auto it = FSectionIndex.find(LocaleSortKey(name, true));
    if (it == FSectionIndex.end())
        return false;
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
    prev = nullptr;
    for (TExtIniSection* s = FFirstInFile; s != victim; s = s->FNextInFile)
        prev = s;
    if (prev)
        prev->FNextInFile = victim->FNextInFile;
    else
        FFirstInFile = victim->FNextInFile;
    if (FLastInFile == victim)
        FLastInFile = prev;
    --FSectionCount;
    FSectionIndex.erase(it);
    delete victim;
    return true;
}
