// alias <name> and alias /list: one load of "alias.ini" each, no lock (a save replaces the
// file in one step, so a reader sees it whole).
#include "Alias.h"

#include "LocaleCase.h"
#include "Names.h"
#include "TextUtils.h"
#include "Transaction.h"

bool ShowAlias(const std::string& name) {
    TDefinitionTransaction t;
    if (!t.Read())
        return false;
    const TExtIniSection* s = t.FindAlias(name);
    if (!s)
        return false;
    WriteLine("name:  " + name);
    WriteLine("type:  " + s->ReadValue("type", ""));
    WriteLine("path:  " + s->ReadValue("app", ""));
    WriteLine("param: " + s->ReadValue("param", ""));
    WriteLine("dir:   " + s->ReadValue("dir", ""));
    std::string var, value;
    for (const TExtIniItem* item = s->First(); item; item = item->Next())
        if (ReadEnvEntry(*item, var, value))
            WriteLine("env:   " + var + "=" + value);
    // The helper's own switches, where the alias sets them.
    for (const char* key : {"stderr2stdout", "killtarget", "wait"})
        if (const TExtIniItem* item = s->FindItem(key))
            WriteLine(std::string(key) + ": " + item->Value());
    return true;
}

bool ListAliases() {
    TDefinitionTransaction t;
    if (!t.Read())
        return false;
    // Lines go out in blocks: one write per line costs a system call each, which at hundreds
    // of thousands of aliases is most of the time.
    std::string block;
    auto put = [&block](const std::string& line) {
        block += line;
        block += "\r\n";
        if (block.size() >= 0x10000) {
            block.resize(block.size() - 2);
            WriteLine(block);
            block.clear();
        }
    };
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        const std::string& n = s->Name();
        if (IsReservedName(n))
            continue;
        const std::string type = LowerLocale(s->ReadValue("type", ""));
        const char* marker = MbcsPos("gui", type)       ? "[GUI] "
                             : MbcsPos("console", type) ? "[CON] "
                             : MbcsPos("dos", type)     ? "[DOS] "
                                                        : "[???] ";
        std::string column = n;
        column.append(n.size() < 12 ? 12 - n.size() : 1, ' ');
        std::string param = s->ReadValue("param", "");
        if (!param.empty())
            param = " " + param;
        put(marker + column + s->ReadValue("app", "") + param);
    }
    if (!block.empty()) {
        block.resize(block.size() - 2);
        WriteLine(block);
    }
    return true;
}
