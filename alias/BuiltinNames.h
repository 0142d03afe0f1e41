// Names that a shell takes for its own before it looks for a program: every list of them lives
// here, each with where it was taken from.
#pragma once

#include <string>

// What registration runs through the interpreter without a search: the commands its kind
// detection has always known.
bool IsRegistrationBuiltin(const std::string& program);
// A command the command prompt runs itself, so typing the name never reaches a program.
bool IsPromptCommand(const std::string& name);
// The PowerShell releases whose built-in aliases take the name: none, "5.1", "7" or "5.1 と 7".
const char* PowerShellAliasOf(const std::string& name);
