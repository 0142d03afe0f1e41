// The composition of a launch: the alias's environment applied to our own (the target inherits
// it), the command line composed, the working directory checked. From here on everything is
// UTF-16, so the caller's text and the environment pass through whole.
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

// The report that ends the run, about one value of the alias.
bool Fail(TComposed& c, const TStartup& start, std::string_view key, const char* what) {
    c.Error = ValueReport(start.AliasName, key, what);
    return false;
}

// false, with the report in c, when the helper cannot hand the value on.
bool StoredText(const TStartup& start, const TDefinition& def, std::string_view key,
                const std::string& value, std::wstring& text, TComposed& c) {
    return StoredValueText(value, def.Encoding, text) || Fail(c, start, key, kValueBadText);
}

// Each entry is applied before the next is expanded, so one can build on another.
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
    // Read before the alias's own entries apply, so that none of them can reset it.
    if (!NextChainDepth(EnvironmentValue(kChainVariable), depth)) {
        c.Error = Join({start.AliasName, kChainLimitReport});
        return c;
    }
    // The folder of the helper and of "alias.ini", which kFolderReference names. Without the depth
    // handed on, the chain limit would be off: nothing is started then. The references expand in
    // the environment the entries made.
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
    v.Windowed = WindowedBuild(); // the helper of a "GUI" alias
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
