// Stored values as the helper hands them on: each turned exactly into UTF-16, the "env:" entries
// applied to the process's environment, the command line composed. alias /check does the same to
// find a program where the helper would and a line the system would refuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"

// The most a command line or an environment value can hold, its closing zero included.
constexpr size_t kSystemTextLimit = 32767;

// Why a stored value cannot be handed on (ValueReport).
constexpr const char* kValueBadText = " の値に使えない文字があります。";
constexpr const char* kValueTooLong = " を展開した値が長すぎます。";
constexpr const char* kValueNotSet = " を設定できません。";

// A stored value as UTF-16 (FileTextToWide); false for a NUL, which no command line or
// environment can carry, or bytes that are no text.
bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text);

// Applies one "env:" entry to this process's environment, which the target inherits: references
// expanded as the environment is now, so an entry can build on the one before; an empty value
// removes the variable. Null, or why not (kValueBadText, kValueTooLong, kValueNotSet).
const char* ApplyEnvEntry(const std::string& name, const std::string& value,
                          TTextEncoding encoding);

// A command line composed, its program not found (app, searched for, names it as the helper
// reports it), or longer than the system takes.
enum TLaunchLine : int { llComposed, llProgramMissing, llTooLong };

// The helper's command line, from the stored program, parameters and type (in the file's
// encoding), the interpreter and the caller's text: the program (ResolveProgram, self passed
// over), a space, the parameters, a space, and a space and the caller's text when there is any.
// With placeArgs the parameters are a template (PlaceCallerText) that, holding a placeholder,
// takes the caller's text where it says and nothing after. A DOS alias, and a batch file (which
// the system would hand to the interpreter as it is), run as <interpreter> /s /c "<line>", the
// program quoted where the interpreter would end it early, the caller's text escaped to stay text.
TLaunchLine ComposeLaunchLine(std::wstring& app, const std::wstring& param, const std::string& type,
                              TTextEncoding encoding, const std::wstring& interpreter,
                              const std::wstring& self, std::wstring_view callerText,
                              bool placeArgs, std::wstring& line);

// Appends the template to line, "$1" to "$9" (no digit after) the caller's n-th argument in its
// spelling (CallerArgument), "$*" the caller's whole text, "$$" one "$"; any other "$" stays. With
// escape each piece is escaped for the interpreter after the line so far. Past the system's limit
// no piece is placed. True when the template holds a placeholder.
bool PlaceCallerText(std::wstring& line, std::wstring_view pattern, std::wstring_view callerText,
                     bool escape);
bool HoldsPlaceholder(std::wstring_view param);

// Reports both programs give in the same words; paths and names shown in code page 932.
std::string ValueReport(std::string_view alias, std::string_view key, std::string_view why);
std::string LineTooLongReport(size_t length);
std::string ProgramNotFoundReport(std::string_view program);
std::string FolderNotFoundReport(std::string_view dir);
std::string NotDefinedReport(std::string_view alias);
