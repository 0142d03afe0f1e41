#include "ScriptKinds.h"

#include "CommandLine.h"
#include "Files.h"

namespace {

const TScriptKind kScriptKinds[] = {
    {"|ps1|", "pwsh.exe;powershell.exe", "pwsh.exe;powershell.exe",
     "-NoLogo -NoProfile -ExecutionPolicy Bypass -File", false},
    {"|py|", "py.exe;python.exe", "pyw.exe;pythonw.exe", "", false},
    {"|pyw|", "py.exe;python.exe", "pyw.exe;pythonw.exe", "", true},
    {"|jar|", "java.exe", "javaw.exe", "-jar", false},
    {"|vbs|vbe|js|jse|wsf|", "cscript.exe", "wscript.exe", "//NoLogo", false},
    {"|bat|cmd|", nullptr, nullptr, "", false},
};

// Widens an ASCII text of the table to UTF-16, the form the program search takes.
std::wstring Widened(const char* text) {
    std::wstring wide;
    while (*text)
        wide += wchar_t(*text++);
    return wide;
}

} // namespace

const TScriptKind* ScriptKindOf(const std::wstring& program) {
    const size_t dot = SplitPath(program).Extension, n = program.size();
    // Compare each extension of the table with the program's, in place, without copying either.
    // "| 0x20" makes an ASCII letter lower case and leaves digits as they are; a character beyond
    // ASCII stays beyond it, so it never matches the table's ASCII.
    for (const TScriptKind& kind : kScriptKinds)
        for (const char* e = kind.Extensions; dot + 1 < n && e[1];) {
            size_t i = dot + 1;
            for (++e; i < n && *e != '|' && (program[i] | 0x20) == *e; ++e)
                ++i;
            if (i == n && *e == '|')
                return &kind;
            while (*e != '|') // skip the rest of this extension, up to the "|" that ends it
                ++e;
        }
    return nullptr;
}

TScriptRun FindInterpreter(const std::wstring& program, const std::wstring& setting, bool windowed,
                           std::wstring& interpreter, std::wstring& options) {
    const TScriptKind* kind = ScriptKindOf(program);
    if (kind && !kind->Console)
        return srBatch;
    if (!kind && setting.empty())
        return srProgram;
    // The alias's own interpreter takes the place of the table's, options and all.
    const bool own = !setting.empty();
    interpreter =
        own ? ProgramNameToken(setting) : Widened(windowed ? kind->Windowed : kind->Console);
    options = own ? std::wstring(CallerArgumentText(setting)) : Widened(kind->Options);
    std::wstring found;
    for (size_t at = 0; own ? (found = interpreter, !at++) : NextListEntry(interpreter, at, found);)
        if (ResolveInterpreter(found) && IsProgramFile(found)) {
            interpreter = found;
            return srInterpreted;
        }
    return srInterpreterMissing;
}
