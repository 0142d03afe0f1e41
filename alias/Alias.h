// The alias manager: one command per run. Each command reports its own failures and returns
// false for them; Dispatch turns the result into the exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a new alias is to be started.
enum TAliasKind : int32_t { akAuto = 0, akConsole = 1, akGui = 2, akDos = 3 };

// Output (AliasMain.cpp).
void WriteLine(const std::string& text);
void ReportError(const std::string& text);
// The error line for memory that ran out; it allocates nothing (Memory.cpp).
void ReportOutOfMemory();
bool ShowUsage();
int Dispatch(const std::vector<std::string>& args); // args[0] is the program

// The option form (Definitions.cpp).
std::string JoinParams(const std::vector<std::string>& words);
// False when an argument is no option or holds a value "alias.ini" cannot store.
bool CheckOptions(const std::vector<std::string>& args);
bool ChangeAlias(const std::string& name, const std::vector<std::string>& args);

// Show and list (ShowList.cpp).
bool ShowAlias(const std::string& name);
bool ListAliases();

// Registration (Register.cpp).
bool RegisterAlias(const std::string& name, const std::string& program,
                   const std::vector<std::string>& params, TAliasKind kind);

// Maintenance (Maintenance.cpp).
bool DeleteAlias(const std::string& name);
bool RemoveHelperCommands(bool all);
bool ClearAll();
bool RebuildHelperCommands(bool all);

// Editing the definition file (Edit.cpp).
bool EditDefinitionFile();
