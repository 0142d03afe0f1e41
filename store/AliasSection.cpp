#include "AliasSection.h"

#include <cstdint>

#include "Format.h"
#include "IniSyntax.h"
#include "Schema.h"
#include "Text.h"
#include "TextBuffer.h"

namespace {

// One name looked for among the headers, with what can be known of it before the first one.
struct TWantedName {
    std::string name;
    std::string key; // FileNameKey
    bool plain;      // the name is plain ASCII, which no other text's key can equal

    explicit TWantedName(const std::string& n)
        : name(n), key(FileNameKey(n)), plain(IsPlainAscii(n)) {}
    bool Matches(const std::string& header) const {
        if (plain && IsPlainAscii(header))
            return EqualAsciiNoCase(header, name);
        return FileNameKey(header) == key;
    }
};

} // namespace

bool ReadEnvEntry(const TKeyLine& line, std::string& name, std::string& value) {
    return ReadEnvEntry(line.Key, line.Value, name, value);
}

std::string TAliasSection::ReadValue(const std::string& key, const std::string& def) const {
    const std::string k = TrimBlanks(key);
    if (k.empty())
        return def;
    if (FPlain && IsPlainAscii(k)) {
        for (const TKeyLine& line : FKeys)
            if (line.Key == k)
                return line.Value;
        return def;
    }
    const std::string sk = LocaleSortKey(k, false);
    for (size_t i = 0; i < FKeys.size(); ++i)
        if ((FPlain ? LocaleSortKey(FKeys[i].Key, false) : FSortKeys[i]) == sk)
            return FKeys[i].Value;
    return def;
}

// Keys are compared as the full model's key index compares them: as bytes where that is
// proven the same, otherwise by their sort keys. A small hash table of the kept lines keeps
// this linear in the section's size however many keys it has.
void TAliasSection::DropRepeatedKeys(bool fast) {
    const size_t n = FKeys.size();
    FPlain = fast;
    for (const TKeyLine& line : FKeys)
        FPlain = FPlain && IsPlainAscii(line.Key);
    if (!FPlain)
        for (const TKeyLine& line : FKeys)
            FSortKeys.push_back(LocaleSortKey(line.Key, false));
    // What a key is compared by: its bytes, or its sort key.
    auto id = [&](size_t i) -> const std::string& { return FPlain ? FKeys[i].Key : FSortKeys[i]; };
    const size_t none = size_t(-1);
    size_t mask = 15;
    while (mask < 2 * n)
        mask = mask * 2 + 1;
    std::vector<size_t> slots(mask + 1, none); // index of a kept line
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
        size_t at = size_t(HashBytes(id(i))) & mask;
        while (slots[at] != none && id(slots[at]) != id(i))
            at = (at + 1) & mask;
        if (slots[at] != none)
            continue; // a repeat of a line kept before
        slots[at] = kept;
        if (kept != i) {
            FKeys[kept] = std::move(FKeys[i]);
            if (!FPlain)
                FSortKeys[kept] = std::move(FSortKeys[i]);
        }
        ++kept;
    }
    FKeys.erase(FKeys.begin() + long(kept), FKeys.end());
    if (!FPlain)
        FSortKeys.erase(FSortKeys.begin() + long(kept), FSortKeys.end());
}

bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults) {
    own.Clear();
    defaults.Clear();
    TTextBuffer buffer;
    if (buffer.LoadFromFile(path) != lrLoaded)
        return false;
    const bool fast = PlainAsciiComparesAsBytes(LOCALE_USER_DEFAULT);
    const TWantedName wanted(TrimBlanks(name)), reserved(kReservedSection);
    const bool ownIsDefaults = reserved.Matches(wanted.name);
    buffer.SkipUtf8Bom();
    TAliasSection* current = nullptr; // the preamble and other sections: lines nobody reads
    std::string line, header, key, value;
    // Lines of sections nobody reads are stepped over unless they could be a header.
    while ((current || buffer.SkipLinesNotStartingWith('[')) && buffer.ReadLine(line)) {
        if (IsSectionHeader(line, header)) {
            current = nullptr;
            if (header.empty())
                continue;
            if (wanted.Matches(header))
                current = &own;
            else if (!ownIsDefaults && reserved.Matches(header))
                current = &defaults;
            if (current)
                current->FFound = true;
            // The reserved name as the alias's own name: that one section answers both.
            if (current && ownIsDefaults)
                defaults.FFound = true;
            continue;
        }
        if (!current)
            continue;
        SplitKeyLine(line, key, value);
        if (key.empty())
            continue;
        current->FKeys.push_back({key, value});
        if (ownIsDefaults)
            defaults.FKeys.push_back({key, value});
    }
    own.DropRepeatedKeys(fast);
    defaults.DropRepeatedKeys(fast);
    return true;
}
