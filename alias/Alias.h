// alias/: the manager, alias.exe, and what only it uses. Each run does one command. A command
// returns its failure as a value, and Dispatch, the one place that prints it, turns it into the
// exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Encoding.h"
#include "ProgramFolder.h"
#include "Report.h"

// How a new alias's program is to be started: akAuto lets registration tell from the program.
enum TAliasKind : int32_t { akAuto = 0, akConsole = 1, akGui = 2, akDos = 3 };

// The arguments in UTF-16 as the caller wrote them. They stay that way until a command knows the
// encoding of the file they go into.
using TArgs = std::vector<std::wstring>;

// Output.cpp. A message line shows any control bytes in the names and paths it holds as blanks.
void WriteLine(const std::string& text);
void WriteMessage(std::string text);
// Writes lines of the definition file. A console is given every character as it is; a file or a
// pipe gets code page 932.
void WriteFileText(const std::string& text, TTextEncoding encoding);
// Returns how many UTF-16 units, starting at at, go into one console write of at most limit units.
// It is one fewer when the last unit would be the first half of a surrogate pair, so that no
// character is split between two writes.
size_t ConsoleChunk(const std::wstring& text, size_t at, size_t limit);
void ReportFailure(const TFailure& failure);
void ReportOutOfMemory();

// AliasMain.cpp. Dispatch runs the command line and returns its exit code; args[0] is the program.
int Dispatch(const TProgramFolder& folder, const TArgs& args);
TFailure ShowUsage();

// Definitions.cpp: changing a defined alias with options such as /path= or /env:.
enum TOptionKind : int32_t { okPath, okParam, okDir, okEnv, okDelEnv, okSwitch, okInterpreter };
struct TOption {
    TOptionKind Kind;
    std::wstring Value;        // trimmed; for /param the words joined; for a switch "on" or "off"
    const char* Key = nullptr; // the key it sets; null for env: entries, whose key is their name
};
// Joins the words into one text. A word that holds a blank or one of & | < > ^ is put in quotes.
std::wstring JoinParams(const TArgs& words);
// Reads the options in the order they were typed. Returns false for an argument that is not an
// option, for a line break, and for a switch set to anything other than "on" or "off".
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

// Check.cpp. Returns a silent failure when anything was found, since each finding has already
// been written.
TFailure CheckAliases(const TProgramFolder& folder);

// Edit.cpp
TFailure EditDefinitionFile(const TProgramFolder& folder);
