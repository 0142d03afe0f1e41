// Names that a shell takes for its own before it looks for a program. Every list of them lives
// here, each with a note on where it was taken from.
#pragma once

#include <string>

// Whether registration runs the program through the interpreter without searching for it: the
// built-in commands that registration's kind detection has always known.
bool IsRegistrationBuiltin(const std::string& program);
// A command the command prompt runs itself, so typing the name never reaches a program.
bool IsPromptCommand(const std::string& name);
// Which PowerShell releases have a built-in alias of this name, as text for a message: "5.1", "7"
// or "5.1 と 7", or null for none.
const char* PowerShellAliasOf(const std::string& name);
