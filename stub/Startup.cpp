// The start-up values and the alias's definition as "alias.ini" gives it.
#include "Stub.h"

#include "ExtIniFile.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

namespace {

// GetEnvironmentVariableA into a buffer that grows to the size the value needs.
bool ReadEnvironment(const char* name, std::string& value) {
    std::string buf(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD n = GetEnvironmentVariableA(name, &buf[0], DWORD(buf.size()));
        if (n == 0)
            return false;
        if (n < buf.size()) {
            buf.resize(n);
            value = buf;
            return true;
        }
        buf.assign(n, '\0');
    }
    return false;
}

} // namespace

TStartup ReadStartup() {
    TStartup s;
    OSVERSIONINFOA ver;
    ZeroMemory(&ver, sizeof ver);
    ver.dwOSVersionInfoSize = sizeof ver;
    s.IsNtPlatform = GetVersionExA(&ver) && ver.dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (!ReadEnvironment("COMSPEC", s.ComSpecPath))
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
    TExtIniFile ini;
    if (!ini.LoadFromFile(FindDefinitionFileIn(start.ExeDir, start.WinDir)))
        return def;
    const std::string& name = start.AliasName;
    const std::string none;
    def.App = ini.ReadValue(name, "app", none);
    def.Type = ini.ReadValue(name, "type", none);
    def.Param = ini.ReadValue(name, "param", none);
    def.Dir = ini.ReadValue(name, "dir", none);
    def.JoinErrorOutput = ini.ReadValue(name, "stderr2stdout", none);
    def.JoinErrorOutputDefault = ini.ReadValue("alias", "stderr2stdout", none);
    if (const TExtIniSection* s = ini.FindSection(name)) {
        TEnvSetting e;
        for (const TExtIniItem* item = s->First(); item; item = item->Next())
            if (ReadEnvEntry(*item, e.Name, e.Value))
                def.Env.push_back(e);
    }
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
