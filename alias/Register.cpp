// Registering an alias: its kind, its helper command and its definition. Either all of it is
// registered or none of it is.
#include "Alias.h"

#include <windows.h>

#include "BuiltinNames.h"
#include "Encoding.h"
#include "ExeType.h"
#include "Files.h"
#include "Launching.h"
#include "HelperFolder.h"
#include "Messages.h"
#include "Names.h"
#include "ScriptKinds.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Finds the program the way the helper finds it, passing over the helper's own file, because
// registering an alias again must not take its kind from the helper it replaces. A program that is
// there but cannot be read is reported as such, never as not found.
TFailure DetectKind(const std::wstring& program, const std::string& helper, TAliasKind& kind) {
    kind = akDos;
    if (IsRegistrationBuiltin(ShownCp932(program)))
        return TFailure();
    std::wstring found = program, helperFile;
    // The program is stored as it was typed, but a program with references is looked for as the
    // helper will expand them.
    if (!ToWide(helper, teCp932, helperFile) ||
        !ExpandReferences(found, DirectoryPart(helperFile), true) ||
        !ResolveProgram(found, helperFile))
        return Failure(kProgramNotFound);
    // A script takes the kind of its interpreter. The interpreter itself is not looked for now,
    // because the helper looks for it again at each start.
    if (const TScriptKind* script = ScriptKindOf(found)) {
        kind = script->WindowedByDefault ? akGui : akConsole;
        return TFailure();
    }
    TExeType type = etUnknown;
    DWORD error = 0;
    const TExeResult read = GetExeType(found, type, &error);
    if (read == erReadError)
        return Failure(ProgramUnreadable(ShownCp932(found)), error);
    if (read != erOk)
        return Failure(kProgramNotFound);
    kind = (type == etWin16 || type == etWinGui) ? akGui : akConsole;
    return TFailure();
}

// What is registered: the alias's name, its program and its parameters (joined into one text), all
// as typed, and its kind.
struct TRegistration {
    const std::wstring& Name;
    const std::wstring& Program;
    const std::wstring Params;
    TAliasKind Kind;
};

// No value may hold a line break. A DOS alias's command is read by the interpreter and is not a
// program the system starts, so its length is not checked against a path's; any other program
// must be short enough for the system to start it by its path.
TFailure CheckValues(const TRegistration& r) {
    if (HasLineBreak(Join({r.Name, r.Program, r.Params})) ||
        (r.Kind != akDos && !ProgramFitsStart(r.Program)))
        return Failure(kBadParameter);
    return TFailure();
}

// Turns the alias's name into its helper file's name, and gives the helper's path.
TFailure HelperTarget(const TProgramFolder& folder, const std::wstring& wideName, std::string& name,
                      std::string& target) {
    if (TFailure f = HelperFileName(wideName, name))
        return f;
    if (IsRefusedName(name))
        return Failure(NameRefused(name));
    target = folder.HelperPath(name);
    return FitsHelperChange(target) ? TFailure() : Failure(kBadParameter);
}

// A "GUI" alias's helper is the windowed build; every other alias's helper is the console build.
std::string TemplatePath(const TProgramFolder& folder, TAliasKind kind) {
    return kind == akGui ? folder.WindowedTemplatePath() : folder.ConsoleTemplatePath();
}

// A file may already be where the helper goes only when it is this alias's own helper. Any other
// file of that name is never replaced.
TFailure CheckHelperNameFree(const TDefinitionTransaction& t, const std::string& name,
                             const std::string& target) {
    return t.FindAlias(name) == nullptr && FileFound(target) ? Failure(HelperNameTaken(target))
                                                             : TFailure();
}

// The new definition replaces the old one at the end of the file, in the file's encoding.
TFailure WriteDefinition(TDefinitionTransaction& t, const std::string& name,
                         const TRegistration& r) {
    std::string section, app, param;
    TFailure f = t.FileText(r.Name, section);
    if (!f)
        f = t.FileText(r.Program, app);
    if (!f)
        f = t.FileText(r.Params, param);
    if (f)
        return f;
    if (const TExtIniSection* old = t.FindAlias(name))
        t.Ini().DeleteSection(old->Name());
    const std::string type = r.Kind == akGui   ? kTypeWindowed
                             : r.Kind == akDos ? kTypeDos
                                               : kTypeConsole;
    for (const auto& kv :
         {std::make_pair(kKeyType, type), std::make_pair(kKeyApp, app),
          std::make_pair(kKeyParam, param), std::make_pair(kKeyDir, std::string())})
        if (TFailure w = t.WriteValue(section, kv.first, kv.second))
            return w;
    // Parameters with placeholders turn placeargs on, so they work without a second command.
    if (HoldsPlaceholder(r.Params))
        if (TFailure w = t.WriteValue(section, kKeyPlaceArgs, "on"))
            return w;
    return TFailure();
}

// Saves the definition together with a helper copied from the template. The new helper takes its
// name only after the definition is saved, so that no helper is ever left without a definition.
// Until then, each step can be undone.
TFailure SaveWithHelper(TDefinitionTransaction& t, const std::string& target,
                        const TTemplate& from) {
    THelperChange helper(target);
    if (IsDirectory(target) || !helper.Prepare(from) || !helper.MoveOldAside()) {
        const DWORD error = GetLastError();
        return helper.Undo(Failure(HelperFailed(target, hfCreate), error));
    }
    if (TFailure k = t.KeepOriginal())
        return helper.Undo(k);
    if (TFailure c = t.Commit())
        return helper.Undo(c);
    if (!helper.PutNewInPlace()) {
        const DWORD error = GetLastError();
        const TFailure placed = Failure(HelperFailed(target, hfCreate), error);
        return helper.Undo(t.RestoreOriginal() ? placed : t.NotWritten());
    }
    helper.Finish();
    return TFailure();
}

} // namespace

TFailure RegisterAlias(const TProgramFolder& folder, const std::wstring& wideName,
                       const std::wstring& program, const TArgs& params, TAliasKind kind) {
    TRegistration r{wideName, program, JoinParams(params), kind};
    if (TFailure f = CheckValues(r))
        return f;
    std::string name, target;
    if (TFailure f = HelperTarget(folder, r.Name, name, target))
        return f;
    if (r.Kind == akAuto)
        if (TFailure f = DetectKind(r.Program, target, r.Kind))
            return f;
    // A damaged template (cut short, or some other file in its place) would make a helper that
    // cannot start, so registration stops before copying it.
    const TTemplate from(TemplatePath(folder, r.Kind));
    if (!from.Whole())
        return Failure(TemplateMissing(from.Path()));
    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnRequired))
        return f;
    if (TFailure f = CheckHelperNameFree(t, name, target))
        return f;
    if (TFailure f = WriteDefinition(t, name, r))
        return f;
    return SaveWithHelper(t, target, from);
}
