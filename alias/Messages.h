// The manager's reports, each text written once; paths and names go in as they are.
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
// What the file's encoding cannot hold; for code page 932, that a UTF-8 file could.
std::string NotInEncoding(const std::string& shown, TTextEncoding encoding);

// What keeps a command from the definition file.
enum TDefinitionFileFailure : int {
    dfBusy = 0,
    dfMissing = 1,
    dfUnreadable = 2,
    dfNotWritten = 3,
    dfNotUtf8 = 4,          // marked as UTF-8, holding bytes that are no UTF-8
    dfWouldReadAsUtf8 = 5,  // code page 932 text that, saved, would read as UTF-8
    dfWouldReadAsOther = 6, // text whose first bytes, saved, would read as a byte-order mark
};
std::string DefinitionFileFailed(const std::string& path, TDefinitionFileFailure what);

std::string ProgramUnreadable(const std::string& path);
std::string TemplateMissing(const std::string& path);
std::string HelperNameTaken(const std::string& path);
enum THelperFailure : int { hfCreate = 0, hfDelete = 1, hfUpdate = 2, hfRestore = 3 };
std::string HelperFailed(const std::string& path, THelperFailure what);

std::string EditorFailed(const std::string& editor);
// The editor every system has: alias /edit opens the file in it when the reserved section names
// none, or the one it names cannot be started.
constexpr char kFallbackEditor[] = "notepad.exe";
std::string EditorFallback(const std::string& editor);

// Beside an interpreter alias <name> shows, when it is not found now.
constexpr char kNotFoundMark[] = " (見つかりません)";
// The PowerShell releases whose built-in aliases take a name, when both do.
constexpr char kBothReleases[] = "5.1 と 7";

// What alias /check finds, each line naming the alias first: "<name> の" and a report, or a key's
// ValueReport (kNotGiven: no program).
std::string OfAlias(const std::string& name, const std::string& report);
constexpr char kNotGiven[] = " が指定されていません。";
enum THelperProblem : int {
    hpMissing = 0,
    hpNotHelper = 1,
    hpOtherKind = 2,
    hpOldTemplate = 3,
    hpOrphan = 4,
    hpDamaged = 5,
    hpLeftAside = 6, // moved aside by a change that did not end
};
std::string HelperProblem(const std::string& name, const std::string& path, THelperProblem what);
std::string ShadowedBy(const std::string& name, const std::string& program);
// Names typing does not reach: the prompt's own command, a PowerShell alias (shells: which
// releases), a name the prompt splits or changes.
std::string PromptCommand(const std::string& name);
std::string PowerShellAlias(const std::string& name, const char* shells);
std::string NotTypeable(const std::string& name);
std::string StartLoops(const std::string& name);
// The program not found is in a folder of another version: there, and the command that points
// the alias to it.
std::string ProgramMoved(const std::string& name, const std::string& program);
// A section named like the short name of another helper file.
std::string ShortNameOfOther(const std::string& name, const std::string& helper);
std::string FolderNotOnPath(const std::string& dir);
