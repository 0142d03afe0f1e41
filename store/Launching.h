// How a start is made of the stored values, which alias /check does too: the values in UTF-16
// exactly, their references expanded, the "env:" entries applied, the command line composed. What
// either program says of it is in Reports.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"

// The most a command line or an environment value holds, its zero included.
constexpr size_t kSystemTextLimit = 32767;

// false for a NUL, which no command line or environment can carry, or bytes that are no text.
bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text);

// The folder of the helper and of "alias.ini", ending in its "\", in "app", "dir", "param" and
// "env:" values: the command prompt's spelling of the folder of the batch file that runs. No
// environment variable can mean it: it is replaced before any expansion, and the folder's own
// "%" is never expanded. It holds no closing zero (it is compared, never used as a C string).
inline constexpr wchar_t kFolderReference[] = {'%', '~', 'd', 'p', '0'};

// kFolderReference replaced by folder and, with environment, each %NAME% between expanded once as
// the system expands it (an undefined one stays as written). False when the result is longer than
// an environment value may be.
bool ExpandReferences(std::wstring& text, const std::wstring& folder, bool environment);

// One "env:" entry into this process's environment, which the target inherits, expanded as it is
// now (an entry can build on the one before); an empty value removes it. Null when it is applied,
// else the reason it is refused.
const char* ApplyEnvEntry(const std::string& name, const std::string& value, TTextEncoding encoding,
                          const std::wstring& folder);

// "app", "param" and "dir" as a start takes them, with their references: the folder's in each,
// the environment's in "app" and "dir" (a DOS alias's command is then quoted as what it came to).
// Null, or the key ("app" or "dir") whose value grew too long.
const char* ExpandStoredValues(std::wstring& app, std::wstring& param, std::wstring& dir,
                               const std::wstring& folder);

enum TLaunchLine : int {
    llComposed,
    llProgramMissing,
    llTooLong,
    llInterpreterMissing, // line: the interpreters looked for
    llArgumentRefused,    // line: the caller's argument a batch file cannot be handed
};

// What the alias runs, its references expanded, but for the program: the parameters, its own
// interpreter (setting), whether it is a DOS alias (RunsThroughInterpreter), the switch placeargs,
// and whether its helper is the windowed one.
struct TLaunchValues {
    std::wstring Param, Setting;
    bool Dos, PlaceArgs, Windowed;
};

// Where the start is made from.
struct TLaunchCaller {
    // The interpreter of DOS aliases and batch files.
    const std::wstring& ComSpec;
    // The helper's own file, never its program (ResolveProgram); empty when no helper starts it.
    const std::wstring& Helper;
    // The caller's text after the helper's name.
    std::wstring_view Text;
};

// The program and the command line that start the alias.
struct TComposedLine {
    // The alias's program: as stored, its references expanded, on the way in; as found on the way
    // out, or as looked for (".exe" added) when it is missing.
    std::wstring Program;
    // The command line; else what TLaunchLine says it holds.
    std::wstring CommandLine;
};

// The helper's command line: the program (ResolveProgram), a space, the parameters, a space, then
// a space and the caller's text when there is any; with placeArgs the parameters are a template
// that, holding a placeholder, takes the caller's text where it says. A script runs as
// <interpreter> <options> <script> ...; a DOS alias and a batch file as
// <comspec> /e:on /v:off /s /c "<line>", each of the caller's arguments text for a batch file.
TLaunchLine ComposeLaunchLine(const TLaunchValues& v, TLaunchCaller caller, TComposedLine& out);

// Appends pattern to line, filled in: "$1" to "$9" (no digit after) the caller's n-th argument in
// its spelling, "$*" all its text, "$$" one "$"; other "$" stay; with escape each is handed as
// AppendForBatch hands it (refused: the argument it cannot). True when it holds a placeholder.
bool PlaceCallerText(std::wstring& line, std::wstring_view pattern, std::wstring_view callerText,
                     bool escape, std::wstring_view* refused = nullptr);
bool HoldsPlaceholder(std::wstring_view param);
