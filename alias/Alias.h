// alias/: the manager, alias.exe, and what only it uses. One command per run: each command
// returns its failure, if any, as a value; Dispatch prints it and turns it into the exit code,
// the one place that does either.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Encoding.h"
#include "ProgramFolder.h"
#include "Report.h"

// How a new alias is to be started.
enum TAliasKind : int32_t { akAuto = 0, akConsole = 1, akGui = 2, akDos = 3 };

// The command line's texts stay UTF-16, as the caller wrote them, until a command knows the
// encoding of the definition file they go into.
using TArgs = std::vector<std::wstring>;

// Output (Output.cpp).
void WriteLine(const std::string& text);
// A message line: the control bytes of what it names (a key, a value, a name) shown as blanks.
void WriteMessage(std::string text);
// Lines of the definition file's text (CR LF between them, none after the last): a console
// shows every character (WriteConsoleW); a file or pipe gets code page 932 bytes, in which "?"
// stands for what code page 932 cannot show. Code page 932 text goes out as it is.
void WriteFileText(const std::string& text, TTextEncoding encoding);
// How much of text from at a console write of at most limit units takes: never the first half
// of a character outside the basic plane without its second, unless that half is all there is
// room for.
size_t ConsoleChunk(const std::wstring& text, size_t at, size_t limit);
// The error line of a failure: the memory line when memory ran out (it allocates nothing),
// none for a failure that says nothing.
void ReportFailure(const TFailure& failure);
// The error line for memory that ran out; it allocates nothing.
void ReportOutOfMemory();

// The command line (AliasMain.cpp): args[0] is the program; the exit code of the command.
int Dispatch(const TProgramFolder& folder, const TArgs& args);
TFailure ShowUsage();

// The option form (Definitions.cpp).
enum TOptionKind : int32_t {
    okPath = 0,
    okParam = 1,
    okDir = 2,
    okEnv = 3,
    okDelEnv = 4,
    // "/<switch>=on" or "=off", one kind per switch in the order of kSwitchKeys
    okJoinErrorOutput = 5,
    okKillTarget = 6,
    okWait = 7,
    okPlaceArgs = 8
};
struct TOption {
    TOptionKind Kind;
    std::wstring Value; // trimmed; for okParam from "/param" the joined words; a switch's "on"
                        // or "off" in lower case
};
// The words as one parameter text: a word holding a blank or & | < > ^ in quotes.
std::wstring JoinParams(const TArgs& words);
// The options in the order typed; false when an argument is no option, holds a value that
// "alias.ini" cannot store (a line break) or sets a switch to other than "on" or "off" (any
// ASCII case).
bool ParseOptions(const TArgs& args, std::vector<TOption>& options);
TFailure ChangeAlias(const TProgramFolder& folder, const std::wstring& name,
                     const std::vector<TOption>& options);

// Show and list (ShowList.cpp).
TFailure ShowAlias(const TProgramFolder& folder, const std::wstring& name);
TFailure ListAliases(const TProgramFolder& folder);

// Registration (Register.cpp).
TFailure RegisterAlias(const TProgramFolder& folder, const std::wstring& name,
                       const std::wstring& program, const TArgs& params, TAliasKind kind);

// Maintenance (Maintenance.cpp).
TFailure DeleteAlias(const TProgramFolder& folder, const std::wstring& name);
TFailure RemoveHelperCommands(const TProgramFolder& folder, bool all);
TFailure ClearAll(const TProgramFolder& folder);
TFailure RebuildHelperCommands(const TProgramFolder& folder, bool all);

// What would fail, found before it does (Check.cpp): a failure (one that says nothing more than
// its lines) when anything was found.
TFailure CheckAliases(const TProgramFolder& folder);

// Editing the definition file (Edit.cpp).
TFailure EditDefinitionFile(const TProgramFolder& folder);
