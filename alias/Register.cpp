// Registering an alias: its kind, its helper command and its definition, all or nothing.
#include "Alias.h"

#include <windows.h>

#include "Encoding.h"
#include "ExeType.h"
#include "Files.h"
#include "HandedOn.h"
#include "HelperFiles.h"
#include "LocaleCase.h"
#include "Messages.h"
#include "Names.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// Command-interpreter built-ins, which only run through the interpreter.
const char* const kShellBuiltins[] = {
    "CALL",  "CHCP",   "RENAME", "REN",  "ERASE", "DEL",   "DIR",    "TYPE",  "REM", "COPY",
    "DATE",  "TIME",   "VER",    "VOL",  "CD",    "CHDIR", "MD",     "MKDIR", "RD",  "RMDIR",
    "BREAK", "VERIFY", "PATH",   "CTTY", "ECHO",  "LOCK",  "UNLOCK", "CLS"};

const char* TypeText(TAliasKind kind) {
    return kind == akGui ? kTypeWindowed : kind == akDos ? kTypeDos : kTypeConsole;
}

bool IsShellBuiltin(const std::string& program) {
    const std::string upper = UpperLocale(program);
    for (const char* name : kShellBuiltins)
        if (upper == name)
            return true;
    return false;
}

// The kind a program argument gets when none was given; akAuto when no program is found. The
// program is found as the alias's helper (at path helper) finds it, passing over that file: a
// re-registration must not take the kind of the helper it replaces.
TAliasKind DetectKind(const std::wstring& program, const std::string& helper) {
    if (IsShellBuiltin(ShownCp932(program)))
        return akDos;
    std::wstring found = program, self;
    TExeType type = etUnknown;
    if (!ToWide(helper, teCp932, self) || !ResolveProgram(found, self) ||
        GetExeType(found, type) != erOk)
        return akAuto;
    return (type == etWin16 || type == etWinGui) ? akGui : akConsole;
}

bool AnyLineBreak(const std::wstring& name, const std::wstring& program, const TArgs& params) {
    if (HasLineBreak(name) || HasLineBreak(program))
        return true;
    for (const auto& p : params)
        if (HasLineBreak(p))
            return true;
    return false;
}

} // namespace

bool RegisterAlias(const TProgramFolder& folder, const std::wstring& wideName,
                   const std::wstring& program, const TArgs& params, TAliasKind kind) {
    if (AnyLineBreak(wideName, program, params)) {
        ReportError(kBadParameter);
        return false;
    }
    std::string name; // as the helper file's name
    if (!HelperFileName(wideName, name))
        return false;
    if (IsRefusedName(name)) {
        ReportError(NameRefused(name));
        return false;
    }
    const std::string target = folder.HelperPath(name);
    if (kind == akAuto) {
        kind = DetectKind(program, target);
        if (kind == akAuto) {
            ReportError(kProgramNotFound);
            return false;
        }
    }
    const std::string templatePath = folder.TemplatePath(kind == akGui);
    // A damaged template (cut short, or some other file) would make a helper that cannot start.
    if (!IsExistingFile(templatePath) || !HasHelperVersion(templatePath)) {
        ReportError(TemplateMissing(templatePath));
        return false;
    }

    TDefinitionTransaction t(folder);
    if (!t.Begin(fnRequired))
        return false;
    const bool defined = t.FindAlias(name) != nullptr;
    if (!defined && FileFound(target)) {
        ReportError(HelperNameTaken(target));
        return false;
    }

    // The new definition replaces the old one at the end of the file, in the file's encoding.
    std::string section, app, param;
    const std::wstring joined = JoinParams(params);
    if (!t.FileText(wideName, section) || !t.FileText(program, app) || !t.FileText(joined, param))
        return false;
    if (defined)
        t.Ini().DeleteSection(t.FindAlias(name)->Name());
    if (!t.WriteValue(section, kKeyType, TypeText(kind)) || !t.WriteValue(section, kKeyApp, app) ||
        !t.WriteValue(section, kKeyParam, param) || !t.WriteValue(section, kKeyDir, "") ||
        (HoldsPlaceholder(joined) && !t.WriteValue(section, kKeyPlaceArgs, "on")))
        return false;

    // The helper takes its name only after the definition is saved, so no helper is ever
    // without its definition; until then each step can be undone.
    THelperChange helper(target);
    if (IsDirectory(target) || !helper.Prepare(templatePath) || !helper.MoveOldAside()) {
        ReportError(HelperFailed(target, hfCreate));
        return false;
    }
    if (!t.KeepOriginal())
        return false;
    if (!t.Commit())
        return false;
    if (!helper.PutNewInPlace()) {
        if (!t.RestoreOriginal())
            t.ReportNotWritten();
        ReportError(HelperFailed(target, hfCreate));
        return false;
    }
    helper.Finish();
    return true;
}
