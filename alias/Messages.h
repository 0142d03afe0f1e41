// The manager's reports. Each text is written once, here, and the paths and names in them are
// shown as they are.
#pragma once

#include <cstddef>
#include <string>

#include "Encoding.h"

constexpr char kBadParameter[] = "パラメタに誤りがあります。";
constexpr char kMissingParameter[] = "パラメタが不足しています。";
constexpr char kProgramNotFound[] = "指定されたアプリケーションが見つかりません。";
constexpr char kOutOfMemory[] = "メモリが不足しています。";

// What alias /? prints, line by line.
inline constexpr const char* kUsage[] = {
    "-------------------------------------------------------",
    " ",
    "-------------------------------------------------------",
    " Usage :",
    "    alias [/list]                   登録されているエイリアスの一覧",
    "    alias <name> <path> <param>     エイリアスの新規登録",
    "    alias <name> /dir=<dir>         作業ディレクトリの指定",
    "    alias <name> /path=<path>       実行ファイルのパス変更",
    "    alias <name> /param=<param>     パラメタ指定",
    "    alias <name> /param <param ...> パラメタ指定(複数)",
    "    alias <name> /interpreter=<cmd> スクリプトのインタプリタ指定",
    "    alias <name> /env:<key>=<value> 環境変数の追加指定",
    "    alias <name> /delenv:<key>      環境変数の追加指定を削除",
    "    alias <name> /<switch>=on|off   (wait killtarget stderr2stdout placeargs)",
    "    alias <name>                    情報表示",
    "    alias /del <name>               エイリアスの削除",
    "    alias /edit                     定義ファイルの直接編集",
    "    alias /apply                    定義ファイルの設定反映",
    "    alias /update                   全ヘルパ コマンドの再作成",
    "    alias /clear [all]              ヘルパ コマンドの一括削除",
    "                                    (all は ini ファイルの定義も削除)",
    "    alias /check                    エイリアスの点検 (問題の一覧)",
    "    alias /?",
    "",
};

std::string NameRefused(const std::string& name);
std::string NotCodePage932(const std::string& shown);
// Reports a text that the file's encoding cannot hold. For a code page 932 file, it adds that a
// definition file saved as UTF-8 could hold it.
std::string NotInEncoding(const std::string& shown, TTextEncoding encoding);

// The reasons a command cannot read or save the definition file.
enum TDefinitionFileFailure : int {
    dfBusy = 0,
    dfMissing = 1,
    dfUnreadable = 2,
    dfNotWritten = 3,
    dfNotUtf8 = 4,          // marked as UTF-8, but holding bytes that are not UTF-8
    dfWouldReadAsUtf8 = 5,  // code page 932 text that, once saved, would be read as UTF-8
    dfWouldReadAsOther = 6, // text whose first bytes, once saved, would read as a byte-order mark
};
std::string DefinitionFileFailed(const std::string& path, TDefinitionFileFailure what);

std::string ProgramUnreadable(const std::string& path);
std::string TemplateMissing(const std::string& path);
std::string HelperNameTaken(const std::string& path);
enum THelperFailure : int { hfCreate = 0, hfDelete = 1, hfUpdate = 2, hfRestore = 3 };
std::string HelperFailed(const std::string& path, THelperFailure what);

std::string EditorFailed(const std::string& editor);
// The editor that every system has. alias /edit opens the file in it when the reserved section
// names no editor, or when the editor it names cannot be started.
constexpr char kFallbackEditor[] = "notepad.exe";
std::string EditorFallback(const std::string& editor);

// Shown beside the interpreter that "alias <name>" lists, when that interpreter cannot be found
// now.
constexpr char kNotFoundMark[] = " (見つかりません)";
// The PowerShell releases to name when the built-in aliases of both of them take a name.
constexpr char kBothReleases[] = "5.1 と 7";

// Reports that the program folder's files cannot be listed. Nothing that needs the listing is
// done.
std::string FolderUnlisted(const std::string& dir);

// What alias /check finds. Each line names the alias first: either "<name> の" followed by a
// report, or a key's ValueReport. kNotGiven is the ValueReport reason for a missing program.
std::string OfAlias(const std::string& name, const std::string& report);
constexpr char kNotGiven[] = " が指定されていません。";
enum THelperProblem : int {
    hpMissing = 0,
    hpNotHelper = 1,
    hpOtherKind = 2,
    hpOldTemplate = 3,
    hpOrphan = 4,
    hpDamaged = 5,
    hpLeftAside = 6, // moved aside by a change that never finished
};
std::string HelperProblem(const std::string& name, const std::string& path, THelperProblem what);
std::string ShadowedBy(const std::string& name, const std::string& program);
// Names that typing does not reach: a command built into the prompt, a PowerShell alias (shells
// says in which releases), or a name that the prompt splits or changes.
std::string PromptCommand(const std::string& name);
std::string PowerShellAlias(const std::string& name, const char* shells);
std::string NotTypeable(const std::string& name);
std::string StartLoops(const std::string& name);
// Reports that the program that was not found is in the folder of another version. It names that
// program and the command that points the alias to it.
std::string ProgramMoved(const std::string& name, const std::string& program);
// Reports a section whose name is the short name of another helper file.
std::string ShortNameOfOther(const std::string& name, const std::string& helper);
std::string FolderNotOnPath(const std::string& dir);
