// Reading and changing single keys of alias definitions, and the option form.
#include "Alias.h"

#include "TextUtils.h"

bool IsReservedName(const std::string& name) {
    return CompareLocaleNoCase(name, "alias") == 0;
}

bool AliasExists(const std::string& name) {
    if (IsReservedName(name))
        return false;
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return false;
    for (TExtIniSection* s = ini.SectionAt(0); s; s = s->Next())
        if (CompareLocaleNoCase(s->Name(), name) == 0)
            return true;
    return false;
}

std::string ReadAliasValue(const std::string& section, const std::string& key) {
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return std::string();
    return ini.ReadValue(section, key, std::string());
}

void WriteAliasValue(const std::string& section, const std::string& key, const std::string& value) {
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return;
    ini.WriteValue(section, key, value);
    ini.Save();
}

void DeleteAliasValue(const std::string& section, const std::string& key) {
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return;
    ini.DeleteKey(section, key);
    ini.Save();
}

std::string JoinParams(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& w : words) {
        if (!text.empty())
            text += ' ';
        text += QuoteIfSpaced(w);
    }
    return text;
}

bool SetAliasPath(const std::string& name, const std::string& path) {
    if (AliasExists(name) && !path.empty())
        WriteAliasValue(name, "app", path);
    return true;
}

bool SetAliasParam(const std::string& name, const std::string& text) {
    if (AliasExists(name))
        WriteAliasValue(name, "param", text);
    return true;
}

bool SetAliasDir(const std::string& name, const std::string& dir) {
    if (AliasExists(name))
        WriteAliasValue(name, "dir", dir);
    return true;
}

bool SetAliasEnv(const std::string& name, const std::string& text) {
    if (!AliasExists(name))
        return true;
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        return true;
    const std::string var = TrimBlanks(text.substr(0, eq));
    if (!var.empty())
        WriteAliasValue(name, "env:" + var, TrimBlanks(text.substr(eq + 1)));
    return true;
}

bool DeleteAliasEnv(const std::string& name, const std::string& var) {
    if (AliasExists(name))
        DeleteAliasValue(name, "env:" + var);
    return true;
}

namespace {
// The argument starts with prefix, compared without regard to case.
bool HasPrefix(const std::string& arg, const char* prefix) {
    const std::string p = prefix;
    return arg.size() >= p.size() && CompareLocaleNoCase(arg.substr(0, p.size()), p) == 0;
}
} // namespace

bool ApplyOptions(const std::string& name, const std::vector<std::string>& args, bool checkOnly) {
    bool result = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        using Setter = bool (*)(const std::string&, const std::string&);
        Setter op = nullptr;
        size_t cut = 0;
        if (HasPrefix(a, "/path=")) {
            op = SetAliasPath, cut = 6;
        } else if (HasPrefix(a, "/param=")) {
            op = SetAliasParam, cut = 7;
        } else if (CompareLocaleNoCase(a, "/param") == 0) {
            if (!checkOnly)
                SetAliasParam(
                    name, JoinParams(std::vector<std::string>(args.begin() + i + 1, args.end())));
            break; // the rest are its words, never options
        } else if (HasPrefix(a, "/dir=")) {
            op = SetAliasDir, cut = 5;
        } else if (HasPrefix(a, "/env:")) {
            op = SetAliasEnv, cut = 5;
        } else if (HasPrefix(a, "/delenv:")) {
            op = DeleteAliasEnv, cut = 8;
        }
        if (!op) {
            result = false;
            if (checkOnly)
                break;
            continue;
        }
        if (!checkOnly)
            op(name, TrimBlanks(a.substr(cut)));
    }
    return result;
}
