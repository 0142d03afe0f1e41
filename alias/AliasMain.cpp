// Entry, start-up values, output, usage and dispatch of alias.exe.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "ProgramFolder.h"
#include "TextUtils.h"
#include "WideText.h"

void WriteLine(const std::string& text) {
    const std::string line = text + "\r\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD put = 0;
    size_t done = 0;
    while (done < line.size()) {
        if (!WriteFile(out, line.data() + done, DWORD(line.size() - done), &put, nullptr) ||
            put == 0)
            return; // output closed: nothing more can be said
        done += put;
    }
}

void ReportError(const std::string& text) {
    WriteLine("error: " + text);
}

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

static bool Run(const std::vector<std::string>& args) {
    const size_t n = args.size() - 1;
    if (n == 0)
        return ListAliases();
    const std::string& arg1 = args[1];
    if (!IsSwitch(arg1)) {
        if (n == 1)
            return ShowAlias(arg1);
        if (IsSwitch(args[2])) {
            const std::vector<std::string> options = Tail(args, 2);
            if (!CheckOptions(options)) {
                ReportError("パラメタに誤りがあります。");
                return false;
            }
            return ChangeAlias(arg1, options);
        }
        return RegisterAlias(arg1, args[2], Tail(args, 3), akAuto);
    }
    const std::string word = TrimBlanks(arg1.substr(1));
    if (word == "del") {
        if (n < 2) {
            ReportError("パラメタが不足しています。");
            return false;
        }
        return DeleteAlias(args[2]);
    }
    if (Same(word, "gui") || Same(word, "con") || Same(word, "dos")) {
        if (n < 3) {
            ReportError("パラメタが不足しています。");
            return false;
        }
        const TAliasKind kind = Same(word, "gui") ? akGui : Same(word, "con") ? akConsole : akDos;
        return RegisterAlias(args[2], args[3], Tail(args, 4), kind);
    }
    if (Same(word, "list"))
        return ListAliases();
    if (Same(word, "apply"))
        return RebuildHelperCommands(false);
    if (Same(word, "update"))
        return RebuildHelperCommands(true);
    if (Same(word, "clear"))
        return n >= 2 && args[2] == "all" ? ClearAll() : RemoveHelperCommands(true);
    if (Same(word, "edit"))
        return EditDefinitionFile();
    return ShowUsage();
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) // no program name at all: treat as a bare "alias"
        return Run({std::string()}) ? 0 : 1;
    return Run(args) ? 0 : 1;
}

int main() {
    std::string error;
    if (!InitPaths(error)) {
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
            ReportError(ShownCp932(words[i]) + " にはコード ページ 932 で表せない文字があります。");
            return 1;
        }
        args.push_back(arg);
    }
    return Dispatch(args);
}
