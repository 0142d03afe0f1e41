// The alias manager: one command per run, its result the exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExtIniFile.h"

// Start-up values, set once by InitPaths.
extern std::string ExePath; // the running program file
extern std::string ExeDir;  // its folder, ending in its separator
extern std::string WinDir;  // the Windows directory, ending in "\"

// How a new alias is to be started.
enum TAliasKind : int32_t { akAuto = 0, akConsole = 1, akGui = 2, akDos = 3 };

// Entry, output and the definition file (AliasMain.cpp).
void InitPaths();
std::string FindDefinitionFile(); // evaluated anew at every call
void WriteLine(const std::string& text);
void ReportError(const std::string& text);
bool ShowUsage();
int Dispatch(const std::vector<std::string>& args); // args[0] is the program

// Definitions (Definitions.cpp).
bool IsReservedName(const std::string& name);
bool AliasExists(const std::string& name);
std::string ReadAliasValue(const std::string& section, const std::string& key);
void WriteAliasValue(const std::string& section, const std::string& key, const std::string& value);
void DeleteAliasValue(const std::string& section, const std::string& key);
std::string JoinParams(const std::vector<std::string>& words);
bool ApplyOptions(const std::string& name, const std::vector<std::string>& args, bool checkOnly);
bool SetAliasPath(const std::string& name, const std::string& path);
bool SetAliasParam(const std::string& name, const std::string& text);
bool SetAliasDir(const std::string& name, const std::string& dir);
bool SetAliasEnv(const std::string& name, const std::string& text);
bool DeleteAliasEnv(const std::string& name, const std::string& var);

// Show and list (ShowList.cpp).
class TAliasInfo {
  public:
    std::string Name, Type, Path, Param, Dir;
    std::vector<std::string> Env; // NAME=value per "env:" key, in file order
    bool Load(const std::string& name);
    void Clear() { Env.clear(); }
};
bool ShowAlias(const std::string& name);
bool ListAliases();

// Registration (Register.cpp).
// True for names that cannot be aliases: the reserved name, and names that are no plain file
// name (separators, ":" and the other characters Windows forbids in file names).
bool IsRefusedName(const std::string& name);
bool IsShellBuiltin(const std::string& program);
std::string ResolveProgramPath(const std::string& program);
bool RemoveDefinition(const std::string& name);
bool RegisterAlias(const std::string& name, const std::string& program,
                   const std::vector<std::string>& params, TAliasKind kind);

// Maintenance (Maintenance.cpp).
bool IsHelperCommand(const std::string& path);
bool DeleteAlias(const std::string& name);
bool ListAliasNames(std::vector<std::string>& names);
bool RemoveHelperCommands(bool all);
bool ClearAll();
bool RebuildHelperCommands(bool all);

// Editing the definition file (Edit.cpp).
bool RunCommandLine(const std::string& commandLine);
bool EditDefinitionFile();
