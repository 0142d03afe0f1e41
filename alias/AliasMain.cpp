// The entry point of alias.exe, its start-up values, its usage text, and the dispatch of a command
// line to its command.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "Messages.h"
#include "Text.h"
#include "Encoding.h"

TFailure ShowUsage() {
    for (const char* line : kUsage)
        WriteLine(line);
    return TFailure();
}

static bool IsSwitch(const std::wstring& arg) {
    return arg[0] == '-' || arg[0] == '/';
}

static TArgs Tail(const TArgs& args, size_t from) {
    return from < args.size() ? TArgs(args.begin() + from, args.end()) : TArgs();
}

static TFailure Run(const TProgramFolder& folder, const TArgs& args) {
    const size_t n = args.size() - 1;
    if (n == 0)
        return ListAliases(folder);
    const std::wstring& arg1 = args[1];
    if (!IsSwitch(arg1)) {
        if (n == 1)
            return ShowAlias(folder, arg1);
        if (IsSwitch(args[2])) {
            std::vector<TOption> options;
            if (!ParseOptions(Tail(args, 2), options))
                return Failure(kBadParameter);
            return ChangeAlias(folder, arg1, options);
        }
        return RegisterAlias(folder, arg1, args[2], Tail(args, 3), akAuto);
    }
    std::string word;
    if (!FromWide(TrimBlanks(arg1.substr(1)), teCp932, word))
        return Failure(NotCodePage932(ShownCp932(arg1)));
    auto same = [&word](const char* name) { return CompareLocaleNoCase(word, name) == 0; };
    if (word == "del") {
        if (n < 2)
            return Failure(kMissingParameter);
        return DeleteAlias(folder, args[2]);
    }
    if (same("gui") || same("con") || same("dos")) {
        if (n < 3)
            return Failure(kMissingParameter);
        const TAliasKind kind = same("gui") ? akGui : same("con") ? akConsole : akDos;
        return RegisterAlias(folder, args[2], args[3], Tail(args, 4), kind);
    }
    if (same("list"))
        return ListAliases(folder);
    if (same("apply"))
        return RebuildHelperCommands(folder, false);
    if (same("update"))
        return RebuildHelperCommands(folder, true);
    if (same("clear"))
        return n >= 2 && args[2] == L"all" ? ClearAll(folder) : RemoveHelperCommands(folder, true);
    if (same("edit"))
        return EditDefinitionFile(folder);
    if (same("check"))
        return CheckAliases(folder);
    return ShowUsage();
}

int Dispatch(const TProgramFolder& folder, const TArgs& args) {
    // A command line without even the program's name is taken as a bare "alias".
    const TFailure failure = Run(folder, args.empty() ? TArgs{std::wstring()} : args);
    ReportFailure(failure);
    return failure ? 1 : 0;
}

int main() {
    TProgramFolder folder("", "");
    std::string error;
    if (!TProgramFolder::OfThisProgram(folder, error)) {
        ReportFailure(Failure(error));
        return 1;
    }
    // The arguments stay UTF-16 until a command converts them exactly into the file's encoding,
    // because a changed character would store a different program, folder or name from the one
    // given.
    return Dispatch(folder, SplitCommandLine(GetCommandLineW()));
}
