// alias/: the manager, alias.exe, and what only it uses. One command per run: each returns its
// failure as a value, and Dispatch, the one place that prints it, turns it into the exit code.
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
// encoding of the file they go into.
using TArgs = std::vector<std::wstring>;

// Output (Output.cpp).
void WriteLine(const std::string& text);
// A message line: the control bytes of what it names (a key, a value) shown as blanks.
void WriteMessage(std::string text);
// Lines of the definition file's text (CR LF between them): a console shows every character, a
// file or pipe gets code page 932, "?" for what it cannot show.
void WriteFileText(const std::string& text, TTextEncoding encoding);
// How much of text from at a console write of at most limit units takes: never half of a
// character outside the basic plane, unless that half is all there is room for.
size_t ConsoleChunk(const std::wstring& text, size_t at, size_t limit);
// A failure's error lines; the memory line (which allocates nothing) when memory ran out.
void ReportFailure(const TFailure& failure);
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
    okSwitch = 5
};
struct TOption {
    TOptionKind Kind;
    std::wstring Value;        // trimmed; /param's words joined; a switch's "on" or "off"
    const char* Key = nullptr; // the key it sets, but for env: entries
};
// The words as one parameter text: a word holding a blank or & | < > ^ in quotes.
std::wstring JoinParams(const TArgs& words);
// The options in the order typed; false for an argument that is no option, a value "alias.ini"
// cannot store (a line break), a switch set to other than "on" or "off" (any ASCII case).
bool ParseOptions(const TArgs& args, std::vector<TOption>& options);
TFailure ChangeAlias(const TProgramFolder& folder, const std::wstring& name,
                     const std::vector<TOption>& options);

// ShowList.cpp
TFailure ShowAlias(const TProgramFolder& folder, const std::wstring& name);
TFailure ListAliases(const TProgramFolder& folder);

// Register.cpp
TFailure RegisterAlias(const TProgramFolder& folder, const std::wstring& name,
                       const std::wstring& program, const TArgs& params, TAliasKind kind);

// Maintenance.cpp
TFailure DeleteAlias(const TProgramFolder& folder, const std::wstring& name);
TFailure RemoveHelperCommands(const TProgramFolder& folder, bool all);
TFailure ClearAll(const TProgramFolder& folder);
TFailure RebuildHelperCommands(const TProgramFolder& folder, bool all);

// Check.cpp: a failure that says nothing more than its lines when anything was found.
TFailure CheckAliases(const TProgramFolder& folder);

// Edit.cpp
TFailure EditDefinitionFile(const TProgramFolder& folder);
