// Entry, start-up values, usage and dispatch of alias.exe.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "Messages.h"
#include "Text.h"
#include "WideText.h"

bool ShowUsage() {
    static const char* const kLines[] = {
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
        "    alias <name> /env:<key>=<value> 環境変数の追加指定",
        "    alias <name> /delenv:<key>      環境変数の追加指定を削除",
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
    for (const char* line : kLines)
        WriteLine(line);
    return true;
}

static bool IsSwitch(const std::string& arg) {
    return arg[0] == '-' || arg[0] == '/';
}

static bool Same(const std::string& a, const char* b) {
    return CompareLocaleNoCase(a, b) == 0;
}

static std::vector<std::string> Tail(const std::vector<std::string>& args, size_t from) {
    return from < args.size() ? std::vector<std::string>(args.begin() + from, args.end())
                              : std::vector<std::string>();
}

static bool Run(const TProgramFolder& folder, const std::vector<std::string>& args) {
    const size_t n = args.size() - 1;
    if (n == 0)
        return ListAliases(folder);
    const std::string& arg1 = args[1];
    if (!IsSwitch(arg1)) {
        if (n == 1)
            return ShowAlias(folder, arg1);
        if (IsSwitch(args[2])) {
            std::vector<TOption> options;
            if (!ParseOptions(Tail(args, 2), options)) {
                ReportError(kBadParameter);
                return false;
            }
            return ChangeAlias(folder, arg1, options);
        }
        return RegisterAlias(folder, arg1, args[2], Tail(args, 3), akAuto);
    }
    const std::string word = TrimBlanks(arg1.substr(1));
    if (word == "del") {
        if (n < 2) {
            ReportError(kMissingParameter);
            return false;
        }
        return DeleteAlias(folder, args[2]);
    }
    if (Same(word, "gui") || Same(word, "con") || Same(word, "dos")) {
        if (n < 3) {
            ReportError(kMissingParameter);
            return false;
        }
        const TAliasKind kind = Same(word, "gui") ? akGui : Same(word, "con") ? akConsole : akDos;
        return RegisterAlias(folder, args[2], args[3], Tail(args, 4), kind);
    }
    if (Same(word, "list"))
        return ListAliases(folder);
    if (Same(word, "apply"))
        return RebuildHelperCommands(folder, false);
    if (Same(word, "update"))
        return RebuildHelperCommands(folder, true);
    if (Same(word, "clear"))
        return n >= 2 && args[2] == "all" ? ClearAll(folder) : RemoveHelperCommands(folder, true);
    if (Same(word, "edit"))
        return EditDefinitionFile(folder);
    if (Same(word, "check"))
        return CheckAliases(folder);
    return ShowUsage();
}

int Dispatch(const TProgramFolder& folder, const std::vector<std::string>& args) {
    if (args.empty()) // no program name at all: treat as a bare "alias"
        return Run(folder, {std::string()}) ? 0 : 1;
    return Run(folder, args) ? 0 : 1;
}

int main() {
    TProgramFolder folder("", "");
    std::string error;
    if (!TProgramFolder::OfThisProgram(folder, error)) {
        ReportError(error);
        return 1;
    }
    // The caller's text in UTF-16, turned into code page 932 only where that is exact: a
    // changed character would store another program, folder or name than the one given.
    const std::vector<std::wstring> words = SplitCommandLine(GetCommandLineW());
    std::vector<std::string> args;
    for (size_t i = 0; i < words.size(); ++i) {
        std::string arg;
        if (!NarrowCp932(words[i], arg) && i > 0) {
            ReportError(NotCodePage932(ShownCp932(words[i])));
            return 1;
        }
        args.push_back(arg);
    }
    return Dispatch(folder, args);
}
