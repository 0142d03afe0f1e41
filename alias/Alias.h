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

// UTF-16 as the caller wrote it, until a command knows the encoding of the file it goes into.
using TArgs = std::vector<std::wstring>;

// Output.cpp. A message line shows the control bytes of the names and paths it holds as blanks.
void WriteLine(const std::string& text);
void WriteMessage(std::string text);
// The definition file's lines: a console shows every character, a file or pipe gets code page 932.
void WriteFileText(const std::string& text, TTextEncoding encoding);
// How many UTF-16 units from at go into one console write of at most limit units: one fewer when
// the last would be the first half of a surrogate pair, so that no character is split.
size_t ConsoleChunk(const std::wstring& text, size_t at, size_t limit);
void ReportFailure(const TFailure& failure);
void ReportOutOfMemory();

// AliasMain.cpp: the exit code of the command line (args[0] is the program).
int Dispatch(const TProgramFolder& folder, const TArgs& args);
TFailure ShowUsage();

// Definitions.cpp: the option form.
enum TOptionKind : int32_t { okPath, okParam, okDir, okEnv, okDelEnv, okSwitch, okInterpreter };
struct TOption {
    TOptionKind Kind;
    std::wstring Value;        // trimmed; /param's words joined; a switch's "on" or "off"
    const char* Key = nullptr; // the key it sets, but for env: entries
};
// A word holding a blank or & | < > ^ goes in quotes.
std::wstring JoinParams(const TArgs& words);
// In the order typed; false for an argument that is no option, a line break, a switch set to
// other than "on" or "off".
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

// Check.cpp: a silent failure when anything was found.
TFailure CheckAliases(const TProgramFolder& folder);

// Edit.cpp
TFailure EditDefinitionFile(const TProgramFolder& folder);
