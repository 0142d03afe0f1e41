// Composing a launch: the alias's environment entries are applied to the helper's own
// environment, which the target inherits; the command line is composed; and the working folder
// is checked. From here on everything is UTF-16, so the caller's text and the environment pass
// through without losing any character.
#include "Stub.h"

#include "CommandLine.h"
#include "Files.h"
#include "Launching.h"
#include "Reports.h"
#include "HelperChain.h"
#include "Schema.h"
#include "Text.h"
#include "Encoding.h"

using namespace std::string_view_literals;

namespace {

// Sets the report that ends the run, about one value of the alias, and returns false.
bool Fail(TComposed& c, const TStartup& start, std::string_view key, const char* what) {
    c.Error = ValueReport(start.AliasName, key, what);
    return false;
}

// Converts a stored value to UTF-16. Returns false, with the report in c, when the helper cannot
// hand the value on.
bool StoredText(const TStartup& start, const TDefinition& def, std::string_view key,
                const std::string& value, std::wstring& text, TComposed& c) {
    return StoredValueText(value, def.Encoding, text) || Fail(c, start, key, kValueBadText);
}

// Applies the alias's "env:" entries in file order. Each entry is applied before the next one is
// expanded, so that an entry can build on the ones before it.
bool ApplyAliasEnvironment(const TStartup& start, const TDefinition& def,
                           const std::wstring& folder, TComposed& c) {
    for (const TKeyLine& e : def.Env)
        if (const char* failure = ApplyEnvEntry(e.Key, e.Value, def.Encoding, folder))
            return Fail(c, start, Join({kEnvPrefix, e.Key}), failure);
    return true;
}

} // namespace

TComposed ComposeLaunch(const TStartup& start, const TDefinition& def) {
    TComposed c;
    TLaunchValues v;
    std::wstring dir, depth;
    if (!StoredText(start, def, kKeyApp, def.App, c.Program, c) ||
        !StoredText(start, def, kKeyParam, def.Param, v.Param, c) ||
        !StoredText(start, def, kKeyDir, def.Dir, dir, c) ||
        !StoredText(start, def, kKeyInterpreter, def.Interpreter, v.Setting, c))
        return c;
    // The chain depth is read before the alias's own entries are applied, so that none of them
    // can reset it.
    if (!NextChainDepth(EnvironmentValue(kChainVariable), depth)) {
        c.Error = Join({start.AliasName, kChainLimitReport});
        return c;
    }
    // folder is the folder of the helper and of "alias.ini", which kFolderReference stands for.
    // When the new depth cannot be handed on, the chain limit would no longer work, so nothing is
    // started. The references are expanded in the environment that the entries made.
    const std::wstring folder = DirectoryPart(start.SelfPath);
    const char* tooLong = nullptr;
    if (!ApplyAliasEnvironment(start, def, folder, c) ||
        (!SetEnvironmentValue(kChainVariable, depth.c_str()) &&
         !Fail(c, start, kChainVariableName, kValueNotSet)) ||
        ((tooLong = ExpandStoredValues(c.Program, v.Param, dir, folder)) &&
         !Fail(c, start, tooLong, kValueTooLong)))
        return c;
    v.Dos = RunsThroughInterpreter(def.Type, def.Encoding);
    v.PlaceArgs = def.PlaceArgs;
    v.Windowed = WindowedBuild(); // the windowed build is the helper of a "GUI" alias
    switch (ComposeLaunchLine(
        v, {start.ComSpecPath, start.SelfPath, CallerArgumentText(start.CommandLine)}, c)) {
    case llProgramMissing:
        c.Error = ProgramNotFoundReport(ShownCp932(c.Program));
        return c;
    case llTooLong:
        c.Error = LineTooLongReport(c.CommandLine.size());
        return c;
    case llInterpreterMissing:
        c.Error = InterpreterMissingReport(start.AliasName, ShownCp932(c.Program),
                                           ShownCp932(c.CommandLine));
        return c;
    case llArgumentRefused:
        c.Error = ArgumentRefusedReport(start.AliasName, ShownCp932(c.CommandLine));
        return c;
    case llComposed:
        break;
    }
    if (!dir.empty() && !IsWorkingFolder(dir))
        c.Error = FolderNotFoundReport(ShownCp932(dir));
    c.WorkDir = dir;
    return c;
}
