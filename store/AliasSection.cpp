#include "AliasSection.h"

#include <utility>

#include "IniSyntax.h"
#include "Schema.h"
#include "Text.h"
#include "TextBuffer.h"

namespace {

// The name of a section the pass looks for, with what can be worked out from it once, before the
// first header is read.
struct TWantedName {
    std::string name;
    std::string key; // the name's FileNameKey
    // Whether the name is plain ASCII, so that a plain ASCII header can be compared with it
    // directly.
    bool plain;

    // n is in code page 932, since it comes from the helper's own file name; a header is in the
    // file's encoding, so the two are compared by their keys.
    explicit TWantedName(const std::string& n)
        : name(n), key(FileNameKey(n)), plain(IsPlainAscii(n)) {}
    bool Matches(const std::string& header, TTextEncoding encoding) const {
        if (plain && IsPlainAscii(header))
            return EqualAsciiNoCase(header, name);
        return FileNameKey(header, encoding) == key;
    }
};

} // namespace

std::string TAliasSection::ReadValue(const std::string& key, const std::string& def) const {
    const std::string k = TrimBlanks(key);
    if (!k.empty())
        for (const TKeyLine& line : FKeys)
            if (SameKey(line.Key, k, FEncoding))
                return line.Value;
    return def;
}

bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults, TLoadResult* loaded) {
    own = TAliasSection();
    defaults = TAliasSection();
    TTextBuffer buffer;
    const TLoadResult result = buffer.LoadFromFile(path);
    if (loaded)
        *loaded = result;
    if (result != lrLoaded)
        return false;
    const TWantedName wanted(TrimBlanks(name)), reserved(kReservedSection);
    const bool ownIsDefaults = reserved.Matches(wanted.name, teCp932);
    // The file's encoding is decided as the model decides it, from all of its bytes. Were it
    // decided from the lines this pass reads, another section's header could read as this alias's
    // name.
    const TTextEncoding encoding = buffer.DecideEncoding().Encoding();
    // The section that the lines being read belong to. It is null for the lines before the first
    // header and for the lines of any other section, because nobody reads those.
    TAliasSection* current = nullptr;
    std::string line, header, key, value;
    // Lines are passed over unless they could be the header of one of the two sections. A name of
    // printable ASCII can only equal a header that starts with its first letter, in either case,
    // so only such lines (and, for the reserved section, those starting with "a") are read.
    const char firsts[] = {LowerAsciiChar(wanted.name.empty() ? 'a' : wanted.name[0]), 'a', 0};
    const char* next = wanted.plain ? firsts : nullptr;
    while ((current || buffer.SkipLinesNotStartingWith('[', next)) && buffer.ReadLine(line)) {
        if (IsSectionHeader(line, header, encoding)) {
            current = nullptr;
            if (header.empty())
                continue;
            if (wanted.Matches(header, encoding))
                current = &own;
            else if (!ownIsDefaults && reserved.Matches(header, encoding))
                current = &defaults;
            if (current)
                current->FFound = true;
            // When the alias's own name is the reserved name, that one section serves as both.
            if (current && ownIsDefaults)
                defaults.FFound = true;
            continue;
        }
        if (!current)
            continue;
        SplitKeyLine(line, key, value, encoding);
        if (key.empty())
            continue;
        current->FKeys.push_back({key, value});
        if (ownIsDefaults)
            defaults.FKeys.push_back({key, value});
    }
    own.FEncoding = defaults.FEncoding = encoding;
    return true;
}
