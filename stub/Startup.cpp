// The start-up values and the alias's definition as "alias.ini" gives it.
#include "Stub.h"

#include "AliasSection.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

TStartup ReadStartup() {
    TStartup s;
    OSVERSIONINFOA ver;
    ZeroMemory(&ver, sizeof ver);
    ver.dwOSVersionInfoSize = sizeof ver;
    s.IsNtPlatform = GetVersionExA(&ver) && ver.dwPlatformId == VER_PLATFORM_WIN32_NT;
    s.ComSpecPath = EnvironmentValue("COMSPEC");
    if (s.ComSpecPath.empty())
        s.ComSpecPath = s.IsNtPlatform ? "cmd.exe" : "command.com";
    s.ExePath = ModuleFilePath();
    s.ExeDir = DirectoryPart(s.ExePath);
    const std::string file = s.ExePath.substr(s.ExeDir.size());
    const size_t dot = LastCharPos(".", file);
    s.AliasName = dot ? file.substr(0, dot - 1) : file; // no extension: the whole name
    s.WinDir = WindowsDirectory();
    s.CommandLine = GetCommandLineA();
    return s;
}

TDefinition ReadDefinition(const TStartup& start) {
    TDefinition def;
    TAliasSection own, defaults;
    if (!ReadAliasSections(FindDefinitionFileIn(start.ExeDir, start.WinDir), start.AliasName, own,
                           defaults))
        return def;
    const std::string none;
    def.App = own.ReadValue("app", none);
    def.Type = own.ReadValue("type", none);
    def.Param = own.ReadValue("param", none);
    def.Dir = own.ReadValue("dir", none);
    def.JoinErrorOutput = own.ReadValue("stderr2stdout", none);
    def.JoinErrorOutputDefault = defaults.ReadValue("stderr2stdout", none);
    def.KillTarget = own.ReadValue("killtarget", none);
    def.KillTargetDefault = defaults.ReadValue("killtarget", none);
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
