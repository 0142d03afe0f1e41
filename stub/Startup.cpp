// Reads the start-up values, and the alias's definition as "alias.ini" gives it.
#include "Stub.h"

#include "AliasSection.h"
#include "Files.h"
#include "Reports.h"
#include "Schema.h"
#include "Text.h"

TStartup ReadStartup() {
    TStartup s;
    s.ComSpecPath = InterpreterPath();
    // When the helper is started by its short (8.3) name, it still takes the alias's name from its
    // long one.
    s.SelfPath = LongPath(ModuleFilePath());
    if (!ProgramFilePath(s.SelfPath, s.ExePath)) {
        s.Error = FolderNotCp932Report(s.SelfPath);
        return s;
    }
    const TPathParts parts = SplitPath(s.ExePath);
    s.ExeDir = s.ExePath.substr(0, parts.FileName);
    s.AliasName = s.ExePath.substr(parts.FileName, parts.Extension - parts.FileName);
    s.WinDir = WindowsDirectory();
    s.CommandLine = GetCommandLineW();
    s.DefinitionFile = FindDefinitionFileIn(s.ExeDir, s.WinDir);
    return s;
}

TDefinition ReadDefinition(const TStartup& start) {
    TDefinition def;
    TAliasSection own, defaults;
    TLoadResult loaded = lrMissing;
    if (!ReadAliasSections(start.DefinitionFile, start.AliasName, own, defaults, &loaded)) {
        // A file that is there but cannot be read may still hold the definition, so the alias
        // must not be reported as not defined.
        def.Unreadable = loaded != lrMissing;
        return def;
    }
    def.Encoding = own.Encoding();
    // The values are read in one loop over one table, so every value is read the same way.
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
    // The switches are read in the order of kSwitchKeys, the one list of their keys; the
    // static_assert below keeps the fields matched to that order.
    bool on[sizeof kSwitchKeys / sizeof *kSwitchKeys];
    for (size_t i = 0; i < sizeof on; ++i)
        on[i] = IsSwitchOn(own.ReadValue(kSwitchKeys[i], std::string()),
                           defaults.ReadValue(kSwitchKeys[i], std::string()));
    static_assert(kSwitchKeys[0] == kKeyJoinErrorOutput && kSwitchKeys[1] == kKeyKillTarget &&
                      kSwitchKeys[2] == kKeyWait && kSwitchKeys[3] == kKeyPlaceArgs,
                  "the switches' order");
    def.JoinErrorOutput = on[0];
    def.KillTarget = on[1];
    def.Wait = on[2];
    def.PlaceArgs = on[3];
    def.Env = own.EnvEntries();
    return def;
}
