// Registering an alias: its kind, its helper command and its definition, all or nothing.
#include "Alias.h"

#include <windows.h>

#include "ExeType.h"
#include "HelperFiles.h"
#include "LocaleCase.h"
#include "Names.h"
#include "ProgramFolder.h"
#include "ProgramPaths.h"
#include "TextUtils.h"
#include "Transaction.h"
#include "WideText.h"

namespace {

// Command-interpreter built-ins, which only run through the interpreter.
const char* const kShellBuiltins[] = {
    "CALL",  "CHCP",   "RENAME", "REN",  "ERASE", "DEL",   "DIR",    "TYPE",  "REM", "COPY",
    "DATE",  "TIME",   "VER",    "VOL",  "CD",    "CHDIR", "MD",     "MKDIR", "RD",  "RMDIR",
    "BREAK", "VERIFY", "PATH",   "CTTY", "ECHO",  "LOCK",  "UNLOCK", "CLS"};

std::string TypeText(TAliasKind kind) {
    switch (kind) {
    case akGui:
        return "GUI";
    case akDos:
        return "DOS";
    default:
        return "console";
    }
}

bool IsShellBuiltin(const std::string& program) {
    const std::string upper = UpperLocale(program);
    for (const char* name : kShellBuiltins)
        if (upper == name)
            return true;
    return false;
}

// The kind a program argument gets when none was given; akAuto when no program is found, as
// a helper would find it.
TAliasKind DetectKind(const std::string& program) {
    if (IsShellBuiltin(program))
        return akDos;
    std::wstring found;
    TExeType type = etUnknown;
    if (!WidenCp932(program, found) || !ResolveProgram(found, std::wstring()) ||
        GetExeType(found, type) != erOk)
        return akAuto;
    return (type == etWin16 || type == etWinGui) ? akGui : akConsole;
}

bool AnyLineBreak(const std::string& name, const std::string& program,
                  const std::vector<std::string>& params) {
    if (HasLineBreak(name) || HasLineBreak(program))
        return true;
    for (const auto& p : params)
        if (HasLineBreak(p))
            return true;
    return false;
}

} // namespace

bool RegisterAlias(const std::string& name, const std::string& program,
                   const std::vector<std::string>& params, TAliasKind kind) {
    if (AnyLineBreak(name, program, params)) {
        ReportError("パラメタに誤りがあります。");
        return false;
    }
    if (IsRefusedName(name)) {
        ReportError(name + " の名前で登録することはできません。");
        return false;
    }
    if (kind == akAuto) {
        kind = DetectKind(program);
        if (kind == akAuto) {
            ReportError("指定されたアプリケーションが見つかりません。");
            return false;
        }
    }
    const std::string templatePath = TemplatePath(kind == akGui);
    const std::string target = HelperPath(name);
    // A damaged template (cut short, or some other file) would make a helper that cannot start.
    if (!IsExistingFile(templatePath) || !HasHelperVersion(templatePath)) {
        ReportError("ヘルパ コマンド テンプレート" + templatePath + "が見つかりません。");
        return false;
    }

    TDefinitionTransaction t;
    if (!t.Begin(fnRequired))
        return false;
    const bool defined = t.FindAlias(name) != nullptr;
    if (!defined && FileFound(target)) {
        ReportError("作成するヘルパ コマンド" + target + "と同名のファイルが存在します。");
        return false;
    }

    // The new definition replaces the old one at the end of the file.
    if (defined)
        t.Ini().DeleteSection(t.FindAlias(name)->Name());
    if (!t.WriteValue(name, "type", TypeText(kind)) || !t.WriteValue(name, "app", program) ||
        !t.WriteValue(name, "param", JoinParams(params)) || !t.WriteValue(name, "dir", ""))
        return false;

    // The helper takes its name only after the definition is saved, so no helper is ever
    // without its definition; until then each step can be undone.
    THelperChange helper(target);
    if (IsDirectory(target) || !helper.Prepare(templatePath) || !helper.MoveOldAside()) {
        ReportError("ヘルパ コマンド" + target + "の作成に失敗しました。");
        return false;
    }
    if (!t.KeepOriginal())
        return false;
    if (!t.Commit())
        return false;
    if (!helper.PutNewInPlace()) {
        if (!t.RestoreOriginal())
            t.ReportNotWritten();
        ReportError("ヘルパ コマンド" + target + "の作成に失敗しました。");
        return false;
    }
    helper.Finish();
    return true;
}
