#include "ScriptKinds.h"

#include <cstring>
#include <string_view>

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

// A text of the table as the program search takes it.
std::wstring Widened(const char* text) {
    return std::wstring(text, text + strlen(text));
}

} // namespace

const TScriptKind* ScriptKindOf(const std::wstring& program) {
    const size_t dot = SplitPath(program).Extension;
    std::string extension = "|";
    // "| 0x20" makes an ASCII letter lower case and leaves digits as they are; a character beyond
    // ASCII becomes a zero, which no extension of the table holds.
    for (size_t i = dot + 1; i < program.size(); ++i)
        extension += program[i] < 0x80 ? char(program[i] | 0x20) : '\0';
    extension += '|';
    for (const TScriptKind& kind : kScriptKinds)
        if (dot + 1 < program.size() &&
            std::string_view(kind.Extensions).find(extension) != std::string_view::npos)
            return &kind;
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
        if (ResolveProgram(found, nullptr) && IsProgramFile(found)) {
            interpreter = found;
            return srInterpreted;
        }
    return srInterpreterMissing;
}
