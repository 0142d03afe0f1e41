// The definition-file model: changing keys and sections.
#include "ExtIniFile.h"

#include "List.h"
#include "Text.h"

bool TExtIniSection::WriteValue(const std::string& key, const std::string& value) {
    if (!IsWritableLine(key, value, FFile->FEncoding))
        return false;
    const std::string k = TrimBlanks(key), v = TrimRightBlanks(value);
    Touch();
    TExtIniItem* item = FindItem(k);
    if (!item)
        AppendItem(k, v);
    else // the line keeps its place, but its key takes the spelling just written, as the value does
        item->Set(k, v);
    return true;
}

bool TExtIniSection::DeleteKey(const std::string& key) {
    TExtIniItem* item = FindItem(key);
    if (!item)
        return false;
    Touch();
    RemoveItem(item);
    TrimTrailingBlankLines();
    return true;
}

bool TExtIniFile::WriteValue(const std::string& section, const std::string& key,
                             const std::string& value) {
    // The line is checked first, so a refused one does not leave a new empty section behind.
    if (!IsWritableLine(key, value, FEncoding))
        return false;
    TExtIniSection* s = AddSection(section);
    return s && s->WriteValue(key, value);
}

bool TExtIniFile::DeleteKey(const std::string& section, const std::string& key) {
    TExtIniSection* s = FindSection(section);
    return s && s->DeleteKey(key);
}

bool TExtIniFile::DeleteSection(const std::string& name) {
    // The name is not trimmed here, unlike in FindSection. Stored names are trimmed, so a name with
    // blanks around it, such as " foo", matches none of them.
    auto it = FSectionIndex.find(FileNameKey(name, FEncoding));
    if (it == FSectionIndex.end())
        return false;
    TExtIniSection* victim = it->second;
    UnlinkNode(FFirstInFile, FLastInFile, &TExtIniSection::FNextInFile, victim);
    FSectionIndex.erase(it);
    for (size_t i = 0; i < FTouched.size(); ++i)
        if (FTouched[i] == victim)
            FTouched.erase(FTouched.begin() + long(i));
    delete victim;
    FModified = true;
    return true;
}

void TExtIniSection::Touch() {
    if (FTextBefore)
        return;
    FTextBefore.reset(new std::string);
    WriteTo(*FTextBefore);
    FFile->FTouched.push_back(this);
}

bool TExtIniFile::Modified() const {
    if (FModified)
        return true;
    std::string now;
    for (const TExtIniSection* s : FTouched) {
        now.clear();
        s->WriteTo(now);
        if (now != *s->FTextBefore)
            return true;
    }
    return false;
}
