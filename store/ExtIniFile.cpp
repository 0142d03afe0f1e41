// The definition-file model: parsing and lookups.
#include "ExtIniFile.h"

#include <windows.h>

#include "TextUtils.h"

// ---- TExtIniItem -------------------------------------------------------------------------

void TExtIniItem::SetKeyValue(const std::string& key, const std::string& value) {
    if (FOwner)
        FOwner->Unindex(this);
    FKey = TrimBlanks(key);
    FValue = TrimRightBlanks(value);
    FText = FKey.empty() ? FValue : FKey + "=" + FValue;
    if (FOwner)
        FOwner->Index(this);
}

bool TExtIniItem::IsWritable(const std::string& key, const std::string& value) {
    const std::string k = TrimBlanks(key);
    const std::string v = TrimRightBlanks(value);
    const std::string text = k.empty() ? v : k + "=" + v;
    std::string name, readKey, readValue;
    if (text.find_first_of("\r\n") != std::string::npos || TExtIniFile::IsSectionHeader(text, name))
        return false;
    SplitLine(text, readKey, readValue);
    // An empty plain line would be appended last, where loading drops it.
    if (k.empty())
        return !text.empty() && readKey.empty();
    return readKey == k && readValue == v;
}

bool ReadEnvEntry(const TExtIniItem& item, std::string& name, std::string& value) {
    return ReadEnvEntry(item.Key(), item.Value(), name, value);
}

// ---- TExtIniSection ----------------------------------------------------------------------

TExtIniSection::~TExtIniSection() {
    // Iteratively: a recursive chain of destructors would overflow the stack on a long section.
    TExtIniItem* item = FFirst;
    while (item) {
        TExtIniItem* next = item->FNext;
        delete item;
        item = next;
    }
}

TExtIniItem* TExtIniSection::AppendItem() {
    auto* item = new TExtIniItem;
    item->FOwner = this;
    if (FLast)
        FLast->FNext = item;
    else
        FFirst = item;
    FLast = item;
    ++FCount;
    return item;
}

void TExtIniSection::Unindex(TExtIniItem* item) {
    if (item->FKey.empty())
        return;
    const std::string sk = LocaleSortKey(item->FKey, false);
    auto it = FKeyIndex.find(sk);
    if (it == FKeyIndex.end() || it->second != item)
        return;
    FKeyIndex.erase(it);
    // Another line with an equal key can only exist if a caller set it directly; the first of
    // them takes over.
    for (TExtIniItem* i = FFirst; i; i = i->FNext)
        if (i != item && !i->FKey.empty() && LocaleSortKey(i->FKey, false) == sk) {
            FKeyIndex[sk] = i;
            break;
        }
}

void TExtIniSection::Index(TExtIniItem* item) {
    if (item->FKey.empty())
        return;
    auto res = FKeyIndex.emplace(LocaleSortKey(item->FKey, false), item);
    if (res.second)
        return;
    // An equal key already exists (only a caller setting keys directly can do that): the
    // line that stands first stays the one found.
    for (TExtIniItem* i = FFirst; i && i != res.first->second; i = i->FNext)
        if (i == item) {
            res.first->second = item;
            break;
        }
}

void TExtIniSection::RemoveItem(TExtIniItem* item) {
    if (!item)
        return;
    TExtIniItem* prev = nullptr;
    TExtIniItem* cur = FFirst;
    while (cur && cur != item) {
        prev = cur;
        cur = cur->FNext;
    }
    if (!cur)
        return;
    Unindex(item);
    if (prev)
        prev->FNext = item->FNext;
    else
        FFirst = item->FNext;
    if (FLast == item)
        FLast = prev;
    --FCount;
    delete item;
}

TExtIniItem* TExtIniSection::FindItem(const std::string& key) const {
    const std::string k = TrimBlanks(key);
    if (k.empty())
        return nullptr;
    auto it = FKeyIndex.find(LocaleSortKey(k, false));
    return it == FKeyIndex.end() ? nullptr : it->second;
}

TExtIniItem* TExtIniSection::ItemAt(int32_t index) const {
    if (index < 0)
        return nullptr;
    TExtIniItem* item = FFirst;
    while (item && index-- > 0)
        item = item->FNext;
    return item;
}

bool TExtIniSection::AddLine(const std::string& line) {
    std::string key, value;
    TExtIniItem::SplitLine(line, key, value);
    if (FindItem(key))
        return false;
    AppendItem()->SetKeyValue(key, value);
    return true;
}

std::string TExtIniSection::ReadValue(const std::string& key, const std::string& def) const {
    const TExtIniItem* item = FindItem(key);
    return item ? item->Value() : def;
}

void TExtIniSection::TrimTrailingBlankLines() {
    while (FLast && FLast->Text().empty())
        RemoveItem(FLast);
}

// ---- TExtIniFile -------------------------------------------------------------------------

TExtIniFile::~TExtIniFile() {
    TExtIniSection* s = FFirstInFile;
    while (s) {
        TExtIniSection* next = s->FNextInFile;
        delete s;
        s = next;
    }
}

TExtIniSection* TExtIniFile::AppendSection(const std::string& name, bool nameless) {
    auto* s = new TExtIniSection(name);
    s->FNameless = nameless;
    if (FLastInFile)
        FLastInFile->FNextInFile = s;
    else
        FFirstInFile = s;
    FLastInFile = s;
    if (!nameless) {
        if (FLastSection)
            FLastSection->FNext = s;
        else
            FFirstSection = s;
        FLastSection = s;
        ++FSectionCount;
    }
    return s;
}

TExtIniSection* TExtIniFile::AddSection(const std::string& name) {
    const std::string n = TrimBlanks(name);
    if (n.empty() || n.find_first_of("\r\n") != std::string::npos)
        return nullptr;
    auto res = FSectionIndex.emplace(LocaleSortKey(n, true), nullptr);
    if (!res.second)
        return res.first->second;
    res.first->second = AppendSection(n, false);
    return res.first->second;
}

TExtIniSection* TExtIniFile::FindSection(const std::string& name) const {
    auto it = FSectionIndex.find(LocaleSortKey(TrimBlanks(name), true));
    return it == FSectionIndex.end() ? nullptr : it->second;
}

TExtIniSection* TExtIniFile::SectionAt(int32_t index) const {
    if (index < 0)
        return nullptr;
    TExtIniSection* s = FFirstSection;
    while (s && index-- > 0)
        s = s->FNext;
    return s;
}

std::string TExtIniFile::ReadValue(const std::string& section, const std::string& key,
                                   const std::string& def) const {
    const TExtIniSection* s = FindSection(section);
    return s ? s->ReadValue(key, def) : def;
}

void TExtIniFile::TrimTrailingBlankLines() {
    FPreamble.TrimTrailingBlankLines();
    for (TExtIniSection* s = FFirstInFile; s; s = s->FNextInFile)
        s->TrimTrailingBlankLines();
}

bool TExtIniFile::LoadFromFile(const std::string& path) {
    if (!FileFound(path))
        return false;
    if (!FBuffer.LoadFromFile(path))
        return false;
    if (FBuffer.SkipUtf8Bom())
        FHasUtf8Bom = true;
    TExtIniSection* current = FLastInFile ? FLastInFile : &FPreamble;
    std::string line, name;
    while (FBuffer.ReadLine(line)) {
        if (!IsSectionHeader(line, name)) {
            current->AddLine(TrimRightBlanks(line));
        } else if (name.empty()) {
            current = AppendSection(name, true);
        } else {
            const int32_t known = FSectionCount;
            current = AddSection(name);
            // A repeated header continues its section. The blank lines before it end the block
            // above, as at the end of any section; the save writes one there instead.
            if (FSectionCount == known)
                current->TrimTrailingBlankLines();
        }
    }
    FFileName = path;
    TrimTrailingBlankLines();
    return true;
}
