#include "Schema.h"

#include <utility>

#include "Files.h"
#include "IniSyntax.h"
#include "Text.h"

std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir) {
    const std::string own = Join({exeDir, kDefinitionFileName});
    if (IsExistingFile(own))
        return own;
    if (!winDir.empty()) {
        const std::string win = Join({winDir, kDefinitionFileName});
        if (IsExistingFile(win))
            return win;
    }
    return own;
}

bool IsReservedName(const std::string& name) {
    return SameSectionName(name, kReservedSection);
}

bool RunsThroughInterpreter(const std::string& type, TTextEncoding encoding) {
    return MbcsPos("dos", LowerAscii(type, encoding), encoding) != 0;
}

bool TakesWindowedHelper(const std::string& type) {
    return CompareLocaleNoCase(type, kTypeWindowed) == 0;
}

const char* ListMarker(const std::string& type, TTextEncoding encoding) {
    const std::string t = LowerAscii(type, encoding);
    return MbcsPos("gui", t, encoding)       ? "[GUI] "
           : MbcsPos("console", t, encoding) ? "[CON] "
           : MbcsPos("dos", t, encoding)     ? "[DOS] "
                                             : "[???] ";
}

bool IsSwitchOn(const std::string& own, const std::string& fallback) {
    const std::string v = LowerAscii(own);
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    return LowerAscii(fallback) == "on";
}

bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value) {
    const size_t prefix = sizeof kEnvPrefix - 1;
    if (LowerAscii(key.substr(0, prefix)) != kEnvPrefix)
        return false;
    name = TrimBlanks(key.substr(prefix));
    value = TrimRightBlanks(itemValue);
    return !name.empty();
}

// A section has few entries, so each one is simply compared with every key line before it, not
// only with the earlier entries: the locale may find a key equal to it that the "env:" prefix test
// would not have taken for an entry.
std::vector<TKeyLine> EnvEntries(const std::vector<TKeyLine>& keyLines, TTextEncoding encoding) {
    std::vector<TKeyLine> entries;
    TKeyLine entry;
    for (size_t i = 0; i < keyLines.size(); ++i) {
        if (!ReadEnvEntry(keyLines[i].Key, keyLines[i].Value, entry.Key, entry.Value))
            continue;
        bool repeated = false;
        for (size_t j = 0; j < i && !repeated; ++j)
            repeated = SameKey(keyLines[j].Key, keyLines[i].Key, encoding);
        if (!repeated)
            entries.push_back(std::move(entry));
    }
    return entries;
}
