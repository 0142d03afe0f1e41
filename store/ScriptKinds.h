// Scripts: programs an alias runs through an interpreter, told by their extension. Registration,
// the helper, alias <name> and alias /check all read this one table.
#pragma once

#include <string>

struct TScriptKind {
    // ASCII, a byte a character: half the bytes of UTF-16 in every helper.
    const char* Extensions; // lower case, each between "|"
    // The interpreters, the first the program search finds (null: the command interpreter runs
    // it, as a DOS alias's command), for a console and for a windowed helper.
    const char* Console;
    const char* Windowed;
    const char* Options;    // before the script
    bool WindowedByDefault; // the kind registration gives it
};

// The kind of the program's extension (any ASCII case); null for a program.
const TScriptKind* ScriptKindOf(const std::wstring& program);

enum TScriptRun : int { srProgram, srBatch, srInterpreted, srInterpreterMissing };

// How the program runs: started itself, as a batch file, or through interpreter with options
// before it (srInterpreterMissing: interpreter names what was looked for). setting is the alias's
// own interpreter, a command with options, which takes the place of the table's for any program
// but a batch file. An interpreter is found at each start by the program search for a name, which
// passes over the program folder: an alias "py" is never Python's interpreter.
TScriptRun FindInterpreter(const std::wstring& program, const std::wstring& setting, bool windowed,
                           std::wstring& interpreter, std::wstring& options);
