// The definition-file model: parsing and lookups.
#include "ExtIniFile.h"

#include "ExtMem.h"
#include "List.h"
#include "Schema.h"
#include "Text.h"

// A section with more key lines than this keeps an index of their sort keys. With fewer, walking
// the lines costs less than making the sort keys.
static const int32_t kIndexedKeyLines = 16;

void TExtIniItem::Set(const std::string& key, const std::string& value) {
    FKeyLength = uint32_t(key.size());
    if (key.empty()) {
        FText = value;
        return;
    }
    FText.reserve(key.size() + 1 + value.size());
    FText.assign(key);
    FText += '=';
    FText += value;
}

bool ReadEnvEntry(const TExtIniItem& item, std::string& name, std::string& value) {
    return ReadEnvEntry(item.Key(), item.Value(), name, value);
}

TExtIniSection::~TExtIniSection() {
    Clear();
}

void TExtIniSection::Clear() {
    DeleteNodes(FFirst, &TExtIniItem::FNext);
    FFirst = FLast = FLastText = nullptr;
    FKeyLines = 0;
    FKeyIndex.reset();
    FTextBefore.reset();
}

TExtIniItem* TExtIniSection::AppendItem(const std::string& key, const std::string& value) {
    auto* item = new TExtIniItem;
    item->Set(key, value);
    AppendNode(FFirst, FLast, &TExtIniItem::FNext, item);
    if (!item->FText.empty())
        FLastText = item;
    if (!key.empty()) {
        ++FKeyLines;
        if (FKeyIndex) {
            FKeyIndex->emplace(LocaleSortKey(key, false, FFile->FEncoding), item);
        } else if (FKeyLines > kIndexedKeyLines) {
            FKeyIndex.reset(new std::unordered_map<std::string, TExtIniItem*>);
            for (TExtIniItem* i = FFirst; i; i = i->FNext)
                if (i->FKeyLength)
                    FKeyIndex->emplace(LocaleSortKey(i->Key(), false, FFile->FEncoding), i);
        }
    }
    return item;
}

void TExtIniSection::RemoveItem(TExtIniItem* item) {
    if (!UnlinkNode(FFirst, FLast, &TExtIniItem::FNext, item))
        return;
    if (item->FKeyLength) {
        --FKeyLines;
        if (FKeyIndex)
            FKeyIndex->erase(LocaleSortKey(item->Key(), false, FFile->FEncoding));
    }
    if (FLastText == item) {
        FLastText = nullptr;
        for (TExtIniItem* i = FFirst; i; i = i->FNext)
            if (!i->FText.empty())
                FLastText = i;
    }
    delete item;
}

TExtIniItem* TExtIniSection::FindItem(const std::string& key) const {
    const std::string k = TrimBlanks(key);
    if (k.empty())
        return nullptr;
    if (FKeyIndex) {
        auto it = FKeyIndex->find(LocaleSortKey(k, false, FFile->FEncoding));
        return it == FKeyIndex->end() ? nullptr : it->second;
    }
    for (TExtIniItem* item = FFirst; item; item = item->FNext)
        if (item->FKeyLength && SameKey(item->Key(), k, FFile->FEncoding))
            return item;
    return nullptr;
}

bool TExtIniSection::AddLine(const std::string& line) {
    std::string key, value;
    SplitKeyLine(line, key, value, FFile->FEncoding);
    if (FindItem(key))
        return false;
    AppendItem(key, value);
    return true;
}

std::string TExtIniSection::ReadValue(const std::string& key, const std::string& def) const {
    const TExtIniItem* item = FindItem(key);
    return item ? item->Value() : def;
}

void TExtIniSection::TrimTrailingBlankLines() {
    TExtIniItem* drop = FLastText ? FLastText->FNext : FFirst;
    if (!drop)
        return;
    if (FLastText)
        FLastText->FNext = nullptr;
    else
        FFirst = nullptr;
    FLast = FLastText;
    // Blank lines are plain lines, which no index holds, so they are deleted without touching the
    // index.
    DeleteNodes(drop, &TExtIniItem::FNext);
}

TExtIniFile::~TExtIniFile() {
    Clear();
}

void TExtIniFile::Clear() {
    DeleteNodes(FFirstInFile, &TExtIniSection::FNextInFile);
    FFirstInFile = FLastInFile = nullptr;
    FTouched.clear();
    std::unordered_map<std::string, TExtIniSection*>().swap(FSectionIndex);
    FPreamble.Clear();
}

TExtIniSection* TExtIniFile::AppendSection(const std::string& name, bool nameless) {
    auto* s = new TExtIniSection(this, name);
    s->FNameless = nameless;
    AppendNode(FFirstInFile, FLastInFile, &TExtIniSection::FNextInFile, s);
    return s;
}

TExtIniSection* TExtIniSection::Next() const {
    TExtIniSection* s = FNextInFile;
    while (s && s->FNameless)
        s = s->FNextInFile;
    return s;
}

TExtIniSection* TExtIniFile::FirstSection() const {
    return FFirstInFile && FFirstInFile->FNameless ? FFirstInFile->Next() : FFirstInFile;
}

TExtIniSection* TExtIniFile::AddSection(const std::string& name) {
    const std::string n = TrimBlanks(name);
    if (n.empty())
        return nullptr;
    // Only a new section can be refused for its name. A section that was read from the file
    // already exists, and is returned as it stands whatever its name holds.
    return IsWritableName(n, FEncoding) ? TakeSection(n) : FindSection(n);
}

TExtIniSection* TExtIniFile::TakeSection(const std::string& n) {
    auto res = FSectionIndex.emplace(FileNameKey(n, FEncoding), nullptr);
    if (!res.second)
        return res.first->second;
    res.first->second = AppendSection(n, false);
    FModified = true;
    return res.first->second;
}

TExtIniSection* TExtIniFile::FindSection(const std::string& name) const {
    auto it = FSectionIndex.find(FileNameKey(TrimBlanks(name), FEncoding));
    return it == FSectionIndex.end() ? nullptr : it->second;
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

TLoadResult TExtIniFile::Load(const std::string& path) {
    const uint32_t memory = MemoryMark();
    TTextBuffer buffer; // the file's bytes, let go once the model is built
    const TLoadResult read = buffer.LoadFromFile(path);
    if (read != lrLoaded)
        return read;
    const bool modified = FModified;
    // The encoding is decided anew at each load, in one pass over all the bytes.
    const TEncodingRule rule = buffer.DecideEncoding();
    FHasUtf8Bom = rule.HasMark();
    FEncoding = rule.Encoding();
    FEncodingValid = rule.Valid();
    TExtIniSection* current = FLastInFile ? FLastInFile : &FPreamble;
    std::string line, name;
    while (buffer.ReadLine(line)) {
        // The allocator had to lend its reserve, so memory is short. Stop now, before a later
        // allocation fails for good and ends the program.
        if (MemoryRanOutSince(memory)) {
            buffer.Clear();
            Clear();
            return lrOutOfMemory;
        }
        if (!IsSectionHeader(line, name, FEncoding)) {
            current->AddLine(TrimRightBlanks(line));
            continue;
        }
        // The blank lines before a header end the block above it, and a save writes its own empty
        // line there. Dropping them now, rather than after the whole load, means that a file of
        // many blank lines never holds all of them in memory at once.
        current->TrimTrailingBlankLines();
        if (name.empty()) {
            current = AppendSection(name, true);
        } else {
            current = TakeSection(name);
            // A header that appears a second time continues its section. That section's earlier
            // block also ended in blank lines, which are dropped in the same way.
            current->TrimTrailingBlankLines();
        }
    }
    FFileName = path;
    TrimTrailingBlankLines();
    FModified = modified;
    return lrLoaded;
}
