// alias <name> and alias /list.
#include "Alias.h"

#include "LocaleCase.h"
#include "TextUtils.h"

bool TAliasInfo::Load(const std::string& name) {
    if (!AliasExists(name))
        return false;
    Clear();
    Name = name;
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return false;
    Type = ini.ReadValue(name, "type", "");
    Path = ini.ReadValue(name, "app", "");
    Param = ini.ReadValue(name, "param", "");
    Dir = ini.ReadValue(name, "dir", "");
    const TExtIniSection* s = ini.FindSection(name);
    if (!s)
        return false;
    std::string var, value;
    for (const TExtIniItem* item = s->ItemAt(0); item; item = item->Next())
        if (ReadEnvEntry(*item, var, value))
            Env.push_back(var + "=" + value);
    return true;
}

bool ShowAlias(const std::string& name) {
    TAliasInfo info;
    if (!info.Load(name))
        return false;
    WriteLine("name:  " + name);
    WriteLine("type:  " + info.Type);
    WriteLine("path:  " + info.Path);
    WriteLine("param: " + info.Param);
    WriteLine("dir:   " + info.Dir);
    for (const auto& e : info.Env)
        WriteLine("env:   " + e);
    return true;
}

bool ListAliases() {
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFile()))
        return false;
    for (const TExtIniSection* s = ini.SectionAt(0); s; s = s->Next()) {
        const std::string& n = s->Name();
        if (IsReservedName(n))
            continue;
        const std::string t = LowerLocale(ini.ReadValue(n, "type", ""));
        const char* marker = MbcsPos("gui", t)       ? "[GUI] "
                             : MbcsPos("console", t) ? "[CON] "
                             : MbcsPos("dos", t)     ? "[DOS] "
                                                     : "[???] ";
        std::string column = n;
        column.append(n.size() < 12 ? 12 - n.size() : 1, ' ');
        std::string param = ini.ReadValue(n, "param", "");
        if (!param.empty())
            param = " " + param;
        WriteLine(marker + column + ini.ReadValue(n, "app", "") + param);
    }
    return true;
}
