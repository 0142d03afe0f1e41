// alias <name> and alias /list: one load of "alias.ini" each, no lock (a save replaces the
// file in one step, so a reader sees it whole). What they print is the file's own text
// (WriteFileText).
#include "Alias.h"

#include "Names.h"
#include "Text.h"
#include "Transaction.h"

TFailure ShowAlias(const TProgramFolder& folder, const std::wstring& wideName) {
    // A name no helper file can carry names no alias; showing stays silent then.
    std::string fileName, name;
    TDefinitionTransaction t(folder);
    if (!FromWide(wideName, teCp932, fileName))
        return SilentFailure();
    if (TFailure f = t.Read())
        return f;
    const TExtIniSection* s =
        FromWide(wideName, t.Encoding(), name) ? t.FindAlias(fileName) : nullptr;
    if (!s)
        return SilentFailure();
    std::string text = "name:  " + name + "\r\ntype:  " + s->ReadValue(kKeyType, "") +
                       "\r\npath:  " + s->ReadValue(kKeyApp, "") +
                       "\r\nparam: " + s->ReadValue(kKeyParam, "") +
                       "\r\ndir:   " + s->ReadValue(kKeyDir, "");
    std::string var, value;
    for (const TExtIniItem* item = s->First(); item; item = item->Next())
        if (ReadEnvEntry(*item, var, value))
            text += "\r\nenv:   " + var + "=" + value;
    // The helper's own switches, where the alias sets them.
    for (const char* key : kSwitchKeys)
        if (const TExtIniItem* item = s->FindItem(key))
            text += "\r\n" + std::string(key) + ": " + item->Value();
    WriteFileText(text, t.Encoding());
    return TFailure();
}

TFailure ListAliases(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Read())
        return f;
    // Lines go out in blocks: one write per line costs a system call each, which at hundreds
    // of thousands of aliases is most of the time.
    std::string block;
    auto put = [&](const std::string& line) {
        block += line;
        block += "\r\n";
        if (block.size() >= 0x10000) {
            block.resize(block.size() - 2);
            WriteFileText(block, t.Encoding());
            block.clear();
        }
    };
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        const std::string& n = s->Name();
        if (IsReservedName(n))
            continue;
        const char* marker = ListMarker(s->ReadValue(kKeyType, ""), t.Encoding());
        std::string column = n;
        column.append(n.size() < 12 ? 12 - n.size() : 1, ' ');
        std::string param = s->ReadValue(kKeyParam, "");
        if (!param.empty())
            param = " " + param;
        put(marker + column + s->ReadValue(kKeyApp, "") + param);
    }
    if (!block.empty()) {
        block.resize(block.size() - 2);
        WriteFileText(block, t.Encoding());
    }
    return TFailure();
}
