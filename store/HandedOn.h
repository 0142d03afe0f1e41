// Stored values as the helper hands them on: each turned from its stored bytes into UTF-16
// exactly, the alias's "env:" entries applied to the process's environment, and the command
// line composed. The helper does this before it starts its target; alias /check does the same
// to find a program where the helper would find it and a line the system would refuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"

// The most a command line or an environment value can hold, its terminating zero included.
constexpr size_t kSystemTextLimit = 32767;

// Why a stored value cannot be handed on: each report, after "<alias> の <key>".
constexpr const char* kValueBadText = " の値に使えない文字があります。";
constexpr const char* kValueTooLong = " を展開した値が長すぎます。";
constexpr const char* kValueNotSet = " を設定できません。";

// A stored value, in the file's encoding, as UTF-16; false when it holds a NUL (which no command
// line or environment can carry) or bytes that are no text. What a file marked as UTF-8 holds
// that is no UTF-8 is read as code page 932.
bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text);

// Applies one "env:" entry to this process's environment (the target inherits it): its value
// with environment references expanded as the environment is now, so that one entry can build
// on the one before; an empty value removes the variable. Null when it is applied, else the
// report of why not (kValueBadText, kValueTooLong, kValueNotSet).
const char* ApplyEnvEntry(const std::string& name, const std::string& value,
                          TTextEncoding encoding);

// What became of a command line: composed, no program found (app, searched for, names it as the
// helper would report it), or longer than the system takes (kSystemTextLimit).
enum TLaunchLine : int { llComposed, llProgramMissing, llTooLong };

// The command line a helper starts for its alias, from the stored program, parameters and type
// (in the file's encoding), the interpreter and the caller's argument text: the program (found
// by ResolveProgram, self passed over), one space, the parameters, one space, then one space and
// the caller's text when there is any. With placeArgs the parameters are a template
// (PlaceCallerText); one that holds a placeholder takes the caller's text where it says, with
// nothing after it. A DOS alias, and a program that is a batch file (.bat or .cmd, which the
// system would hand to the interpreter as it is), run through the interpreter:
// <interpreter> /s /c "<program> <parameters> <caller's text>", the program quoted where the
// interpreter would end it early (a batch file always), each piece of the caller's text escaped
// so that it stays text.
TLaunchLine ComposeLaunchLine(std::wstring& app, const std::wstring& param, const std::string& type,
                              TTextEncoding encoding, const std::wstring& interpreter,
                              const std::wstring& self, std::wstring_view callerText,
                              bool placeArgs, std::wstring& line);

// Appends the template to line with its placeholders filled in: "$1" to "$9" (no digit after
// it) the caller's n-th argument in its spelling (CallerArgument), empty when there is none;
// "$*" the caller's whole text; "$$" one "$"; any other "$" stays. With escape each placed piece
// is escaped for the interpreter as it follows the line so far. Once line is longer than the
// system takes, no more pieces are placed. True when the template holds a placeholder.
bool PlaceCallerText(std::wstring& line, std::wstring_view pattern, std::wstring_view callerText,
                     bool escape);
// The parameters hold a placeholder ("$1" to "$9" or "$*").
bool HoldsPlaceholder(std::wstring_view param);

// Reports both programs give in the same words: a line longer than the system takes, with its
// length in characters; a program or working folder that is not there (as shown in code page
// 932); an alias "alias.ini" does not define.
std::string LineTooLongReport(size_t length);
std::string ProgramNotFoundReport(std::string_view program);
std::string FolderNotFoundReport(std::string_view dir);
std::string NotDefinedReport(std::string_view alias);
