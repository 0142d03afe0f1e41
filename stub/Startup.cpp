// The start-up values and the alias's definition as "alias.ini" gives it.
#include "Stub.h"

#include "AliasSection.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

TStartup ReadStartup() {
    TStartup s;
    s.ComSpecPath = EnvironmentValue(L"COMSPEC");
    if (s.ComSpecPath.empty())
        s.ComSpecPath = std::wstring(L"cmd.exe");
    s.SelfPath = ModuleFilePath();
    if (!ProgramFilePath(s.ExePath, s.Error))
        return s;
    s.ExeDir = DirectoryPart(s.ExePath);
    const std::string file = s.ExePath.substr(s.ExeDir.size());
    const size_t dot = LastCharPos(".", file);
    s.AliasName = dot ? file.substr(0, dot - 1) : file; // no extension: the whole name
    s.WinDir = WindowsDirectory();
    s.CommandLine = GetCommandLineW();
    return s;
}

TDefinition ReadDefinition(const TStartup& start) {
    TDefinition def;
    TAliasSection own, defaults;
    if (!ReadAliasSections(FindDefinitionFileIn(start.ExeDir, start.WinDir), start.AliasName, own,
                           defaults))
        return def;
    // One lookup in one place: every value is read the same way.
    static const struct {
        const char* Key;
        std::string TDefinition::*Field;
        bool FromDefaults;
    } kValues[] = {
        {"app", &TDefinition::App, false},
        {"type", &TDefinition::Type, false},
        {"param", &TDefinition::Param, false},
        {"dir", &TDefinition::Dir, false},
        {"stderr2stdout", &TDefinition::JoinErrorOutput, false},
        {"stderr2stdout", &TDefinition::JoinErrorOutputDefault, true},
        {"killtarget", &TDefinition::KillTarget, false},
        {"killtarget", &TDefinition::KillTargetDefault, true},
        {"wait", &TDefinition::Wait, false},
        {"wait", &TDefinition::WaitDefault, true},
    };
    for (const auto& v : kValues)
        def.*v.Field = (v.FromDefaults ? defaults : own).ReadValue(v.Key, std::string());
    TEnvSetting e;
    for (const TKeyLine& line : own.Keys())
        if (ReadEnvEntry(line, e.Name, e.Value))
            def.Env.push_back(e);
    return def;
}

bool IsSwitchOn(const std::string& own, const std::string& fallback) {
    const std::string v = LowerAscii(own);
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    return LowerAscii(fallback) == "on";
}
