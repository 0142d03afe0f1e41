#include "ScriptKinds.h"

#include <string_view>

#include "CommandLine.h"
#include "Files.h"

namespace {

const TScriptKind kScriptKinds[] = {
    {L"|ps1|", L"pwsh.exe;powershell.exe", L"pwsh.exe;powershell.exe",
     L"-NoLogo -NoProfile -ExecutionPolicy Bypass -File", false},
    {L"|py|", L"py.exe;python.exe", L"pyw.exe;pythonw.exe", L"", false},
    {L"|pyw|", L"py.exe;python.exe", L"pyw.exe;pythonw.exe", L"", true},
    {L"|jar|", L"java.exe", L"javaw.exe", L"-jar", false},
    {L"|vbs|vbe|js|jse|wsf|", L"cscript.exe", L"wscript.exe", L"//NoLogo", false},
    {L"|bat|cmd|", nullptr, nullptr, L"", false},
};

} // namespace

const TScriptKind* ScriptKindOf(const std::wstring& program) {
    const size_t dot = SplitPath(program).Extension;
    std::wstring extension = L"|";
    // "| 0x20" makes an ASCII letter lower case and leaves digits as they are.
    for (size_t i = dot + 1; i < program.size(); ++i)
        extension += wchar_t(program[i] | 0x20);
    extension += L'|';
    for (const TScriptKind& kind : kScriptKinds)
        if (dot + 1 < program.size() &&
            std::wstring_view(kind.Extensions).find(extension) != std::wstring_view::npos)
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
    interpreter = own ? ProgramNameToken(setting) : windowed ? kind->Windowed : kind->Console;
    options = own ? CallerArgumentText(setting) : kind->Options;
    std::wstring found;
    for (size_t at = 0; own ? (found = interpreter, !at++) : NextListEntry(interpreter, at, found);)
        if (ResolveProgram(found, nullptr) && IsProgramFile(found)) {
            interpreter = found;
            return srInterpreted;
        }
    return srInterpreterMissing;
}
