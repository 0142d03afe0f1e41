// How an alias's stored values become the start of its program. The helper does this when it
// runs, and alias /check does the same to try an alias. The values are converted to UTF-16
// exactly, their references are expanded, the "env:" entries are applied, and the command line is
// composed. The messages that either program shows about it are in Reports.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"

// The longest command line or environment value that the system takes, counting its closing zero.
constexpr size_t kSystemTextLimit = 32767;

// Converts a stored value to UTF-16. Returns false when the value holds a NUL, which no command
// line or environment can carry, or when its bytes cannot be read as text.
bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text);

// The reference that stands for the folder of the helper and of "alias.ini", ending in its "\". It
// may be used in "app", "dir", "param" and "env:" values, and is spelled the way the command prompt
// names the folder of a running batch file. It cannot be taken for an environment variable,
// because it is replaced before any other expansion, and a "%" in the folder's own name is never
// expanded. The array has no closing zero, because it is only compared and never used as a C
// string.
inline constexpr wchar_t kFolderReference[] = {'%', '~', 'd', 'p', '0'};

// Replaces each kFolderReference in text with folder. When environment is true, each %NAME% in the
// rest of the text is also expanded once, the way the system expands it; a variable that is not
// defined stays as written. Returns false when the result is longer than an environment value may
// be.
bool ExpandReferences(std::wstring& text, const std::wstring& folder, bool environment);

// Applies one "env:" entry to this process's environment, which the started program inherits. The
// value is expanded against the environment as it is at that moment, so an entry can build on the
// ones before it. An empty value removes the variable. Returns null when the entry is applied, and
// otherwise the reason it is refused.
const char* ApplyEnvEntry(const std::string& name, const std::string& value, TTextEncoding encoding,
                          const std::wstring& folder);

// Expands the references in "app", "param" and "dir" the way a start uses them. The folder
// reference is replaced in all three, but environment variables are expanded only in "app" and
// "dir". A DOS alias's command is quoted later, according to what it expanded to. Returns null when
// every value fits, and otherwise the key ("app" or "dir") whose value became too long.
const char* ExpandStoredValues(std::wstring& app, std::wstring& param, std::wstring& dir,
                               const std::wstring& folder);

enum TLaunchLine : int {
    llComposed,
    llProgramMissing,
    llTooLong,
    llInterpreterMissing, // the command line holds the interpreters that were looked for
    llArgumentRefused,    // the command line holds the argument a batch file cannot be handed
};

// What the alias runs, apart from its program, with the references already expanded. Param holds
// the parameters and Setting the alias's own interpreter setting. Dos says whether it is a DOS
// alias (RunsThroughInterpreter), PlaceArgs whether the placeargs switch is on, and Windowed
// whether its helper is the windowed one.
struct TLaunchValues {
    std::wstring Param, Setting;
    bool Dos, PlaceArgs, Windowed;
};

// What the start depends on besides the alias's own values.
struct TLaunchCaller {
    // The interpreter of DOS aliases and batch files.
    const std::wstring& ComSpec;
    // The helper's own file, which ResolveProgram never takes as the program. It is empty when no
    // helper is making the start.
    const std::wstring& Helper;
    // The caller's text after the helper's name.
    std::wstring_view Text;
};

// The program and the command line that start the alias.
struct TComposedLine {
    // The alias's program. On the way in, it is the stored value with its references expanded. On
    // the way out, it is the program that was found, or, when none was found, the name that was
    // looked for (with ".exe" added).
    std::wstring Program;
    // The composed command line. When composing fails, it holds what the returned TLaunchLine
    // value says instead.
    std::wstring CommandLine;
};

// Composes the command line that starts the alias: the program (found by ResolveProgram), a space,
// the parameters and a space, and then, when the caller gave any text, one more space and that
// text. With placeArgs, parameters that hold a placeholder are a template, and the caller's text
// goes where the placeholders say instead of at the end. A script runs as
// <interpreter> <options> <script> ... . A DOS alias and a batch file run as
// <comspec> /e:on /v:off /s /c "<line>", and each of the caller's arguments is then handed so that
// the batch file reads it as text, never as a command.
TLaunchLine ComposeLaunchLine(const TLaunchValues& v, TLaunchCaller caller, TComposedLine& out);

// Appends pattern to line with its placeholders filled in. "$1" to "$9", when no further digit
// follows, become the caller's n-th argument spelled as the caller wrote it; "$*" becomes all of
// the caller's text; "$$" becomes one "$". Any other "$" stays as it is. With escape, each piece is
// handed the way AppendForBatch hands it, and an argument that cannot be handed that way is
// returned in refused. Returns true when the pattern holds a placeholder.
bool PlaceCallerText(std::wstring& line, std::wstring_view pattern, std::wstring_view callerText,
                     bool escape, std::wstring_view* refused = nullptr);
bool HoldsPlaceholder(std::wstring_view param);
