// Scripts are programs that an alias runs through an interpreter; they are told apart by their
// extension. Registration, the helper, "alias <name>" and "alias /check" all read this one table.
#pragma once

#include <string>

struct TScriptKind {
    // The texts are ASCII, one byte per character, rather than UTF-16: the table is in every
    // helper program, and this halves its size.
    const char* Extensions; // lower case, each between two "|", such as "|bat|cmd|"
    // The interpreters for the console helper and for the windowed helper, each a list separated
    // by ";": the first one the program search finds is used. Null means that the command
    // interpreter runs the script, as it runs a DOS alias's command.
    const char* Console;
    const char* Windowed;
    const char* Options;    // options put before the script's path
    bool WindowedByDefault; // whether registration gives such an alias the windowed helper
};

// Returns the kind that the program's extension (in any ASCII case) belongs to, or null when the
// program is no script.
const TScriptKind* ScriptKindOf(const std::wstring& program);

enum TScriptRun : int { srProgram, srBatch, srInterpreted, srInterpreterMissing };

// Decides how the program runs: started itself (srProgram), as a batch file (srBatch), or through
// interpreter with options before it (srInterpreted). With srInterpreterMissing, interpreter names
// what was looked for and not found. setting is the alias's own interpreter, a command with
// options; when it is set, it takes the place of the table's interpreter for any program except a
// batch file. The interpreter is looked for at each start by the program search for a name, which
// passes over the program folder where the aliases live, so an alias named "py" is never taken for
// Python's interpreter.
TScriptRun FindInterpreter(const std::wstring& program, const std::wstring& setting, bool windowed,
                           std::wstring& interpreter, std::wstring& options);
