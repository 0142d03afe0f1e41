// The start-up values and the alias's definition as "alias.ini" gives it.
#include "Stub.h"

#include "AliasSection.h"
#include "Files.h"
#include "Schema.h"
#include "Text.h"

TStartup ReadStartup() {
    TStartup s;
    s.ComSpecPath = InterpreterPath();
    // Started by a short name, the helper still names the alias by its long one.
    s.SelfPath = LongPath(ModuleFilePath());
    if (!ProgramFilePath(s.SelfPath, s.ExePath, s.Error))
        return s;
    const TPathParts parts = SplitPath(s.ExePath);
    s.ExeDir = s.ExePath.substr(0, parts.FileName);
    s.AliasName = s.ExePath.substr(parts.FileName, parts.Extension - parts.FileName);
    s.WinDir = WindowsDirectory();
    s.CommandLine = GetCommandLineW();
    return s;
}

TDefinition ReadDefinition(const TStartup& start) {
    TDefinition def;
    TAliasSection own, defaults;
    const std::string file = FindDefinitionFileIn(start.ExeDir, start.WinDir);
    TLoadResult loaded = lrMissing;
    if (!ReadAliasSections(file, start.AliasName, own, defaults, &loaded)) {
        // A file that is there but cannot be read still holds the definition: never "not defined".
        if (loaded != lrMissing)
            def.UnreadableFile = file;
        return def;
    }
    def.Encoding = own.Encoding();
    // One lookup in one place: every value is read the same way.
    static const struct {
        const char* Key;
        std::string TDefinition::*Field;
    } kValues[] = {{kKeyApp, &TDefinition::App},
                   {kKeyType, &TDefinition::Type},
                   {kKeyParam, &TDefinition::Param},
                   {kKeyDir, &TDefinition::Dir},
                   {kKeyInterpreter, &TDefinition::Interpreter}};
    for (const auto& v : kValues)
        def.*v.Field = own.ReadValue(v.Key, std::string());
    static const struct {
        const char* Key;
        bool TDefinition::*Field;
    } kSwitches[] = {{kKeyJoinErrorOutput, &TDefinition::JoinErrorOutput},
                     {kKeyKillTarget, &TDefinition::KillTarget},
                     {kKeyWait, &TDefinition::Wait},
                     {kKeyPlaceArgs, &TDefinition::PlaceArgs}};
    for (const auto& v : kSwitches)
        def.*v.Field = IsSwitchOn(own.ReadValue(v.Key, std::string()),
                                  defaults.ReadValue(v.Key, std::string()));
    def.Env = own.EnvEntries();
    return def;
}
