// "alias <name>" and "alias /list". They take no lock: a save replaces the file in one step, so a
// reader always sees a whole file, the old one or the new. They print the file's own text, in its
// own encoding.
#include "Alias.h"

#include "Files.h"
#include "Messages.h"
#include "Names.h"
#include "ScriptKinds.h"
#include "Text.h"
#include "Transaction.h"

TFailure ShowAlias(const TProgramFolder& folder, const std::wstring& wideName) {
    // A name that no helper file can carry cannot name an alias, so nothing is shown for it, and
    // no message either.
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
    // The helper's switches, shown only where the alias's own section sets them.
    for (const char* key : kSwitchKeys)
        if (const TExtIniItem* item = s->FindItem(key))
            text += "\r\n" + std::string(key) + ": " + item->Value();
    // What runs the script, found the way the helper would find it at this moment.
    std::wstring interpreter, options;
    const std::string type = s->ReadValue(kKeyType, "");
    TScriptRun run = RunsThroughInterpreter(type, t.Encoding()) ? srBatch : srProgram;
    if (run == srProgram)
        run = FindInterpreter(t.Decoded(s->ReadValue(kKeyApp, "")),
                              t.Decoded(s->ReadValue(kKeyInterpreter, "")),
                              TakesWindowedHelper(type), interpreter, options);
    if (run == srBatch)
        interpreter = InterpreterPath();
    std::wstring missing;
    if (run == srInterpreterMissing)
        ToWide(kNotFoundMark, teCp932, missing);
    std::string shown;
    if (run != srProgram &&
        FromWide(Join({interpreter, options.empty() ? L"" : L" ", options, missing}), t.Encoding(),
                 shown))
        text += "\r\n" + std::string(kKeyInterpreter) + ": " + shown;
    WriteFileText(text, t.Encoding());
    return TFailure();
}

TFailure ListAliases(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Read())
        return f;
    // The list is written in blocks: with many aliases, a system call per line would take most of
    // the time.
    std::string block;
    auto flush = [&] {
        if (block.empty())
            return;
        block.resize(block.size() - 2); // no line break after the last line
        WriteFileText(block, t.Encoding());
        block.clear();
    };
    for (const TExtIniSection* s = t.Ini().FirstSection(); s; s = s->Next()) {
        const std::string& n = s->Name();
        if (IsReservedName(n))
            continue;
        const std::string param = s->ReadValue(kKeyParam, "");
        block += Join({ListMarker(s->ReadValue(kKeyType, ""), t.Encoding()), n,
                       std::string(n.size() < 12 ? 12 - n.size() : 1, ' '),
                       s->ReadValue(kKeyApp, ""), param.empty() ? "" : " ", param, "\r\n"});
        if (block.size() >= 0x10000)
            flush();
    }
    flush();
    return TFailure();
}
