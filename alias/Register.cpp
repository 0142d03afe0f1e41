// Registering an alias: its kind, its helper command and its definition, all or nothing.
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

// The program is found as the helper finds it, passing over the helper's file: a re-registration
// must not take the kind of the helper it replaces. A program that is there but cannot be read is
// reported so, never as not found.
TFailure DetectKind(const std::wstring& program, const std::string& helper, TAliasKind& kind) {
    kind = akDos;
    if (IsRegistrationBuiltin(ShownCp932(program)))
        return TFailure();
    std::wstring found = program, self;
    // Stored as typed, a program with references is looked for as the helper will expand them.
    if (!ToWide(helper, teCp932, self) || !ExpandReferences(found, DirectoryPart(self), true) ||
        !ResolveProgram(found, &self))
        return Failure(kProgramNotFound);
    // A script's kind is its interpreter's, which the helper looks for at each start.
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

} // namespace

TFailure RegisterAlias(const TProgramFolder& folder, const std::wstring& wideName,
                       const std::wstring& program, const TArgs& params, TAliasKind kind) {
    // A DOS alias's command is the interpreter's, no program the system starts.
    const std::wstring joined = JoinParams(params);
    if (HasLineBreak(Join({wideName, program, joined})) ||
        (kind != akDos && !ProgramFitsStart(program)))
        return Failure(kBadParameter);
    std::string name; // as the helper file's name
    if (TFailure f = HelperFileName(wideName, name))
        return f;
    if (IsRefusedName(name))
        return Failure(NameRefused(name));
    const std::string target = folder.HelperPath(name);
    if (!FitsHelperChange(target))
        return Failure(kBadParameter);
    if (kind == akAuto)
        if (TFailure f = DetectKind(program, target, kind))
            return f;
    // A damaged template (cut short, or some other file) would make a helper that cannot start.
    const TTemplate from(folder.TemplatePath(kind == akGui));
    if (!from.Whole())
        return Failure(TemplateMissing(from.Path()));

    TDefinitionTransaction t(folder);
    if (TFailure f = t.Begin(fnRequired))
        return f;
    const bool defined = t.FindAlias(name) != nullptr;
    if (!defined && FileFound(target))
        return Failure(HelperNameTaken(target));

    // The new definition replaces the old one at the end of the file, in the file's encoding.
    std::string section, app, param;
    TFailure f = t.FileText(wideName, section);
    if (!f)
        f = t.FileText(program, app);
    if (!f)
        f = t.FileText(joined, param);
    if (f)
        return f;
    if (defined)
        t.Ini().DeleteSection(t.FindAlias(name)->Name());
    const std::string type = kind == akGui   ? kTypeWindowed
                             : kind == akDos ? kTypeDos
                                             : kTypeConsole;
    for (const auto& kv :
         {std::make_pair(kKeyType, type), std::make_pair(kKeyApp, app),
          std::make_pair(kKeyParam, param), std::make_pair(kKeyDir, std::string())})
        if (TFailure w = t.WriteValue(section, kv.first, kv.second))
            return w;
    // Parameters with placeholders turn placeargs on, so they work without a second command.
    if (HoldsPlaceholder(joined))
        if (TFailure w = t.WriteValue(section, kKeyPlaceArgs, "on"))
            return w;

    // The helper takes its name after the definition is saved, so none is without one; until
    // then each step can be undone.
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
