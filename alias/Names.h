// Which alias names and values alias.exe accepts.
#pragma once

#include <string>

#include "Report.h"
#include "Schema.h"

// Whether a name is refused because it would not be a plain file name in the program folder.
// Refused are: an empty name, bytes that are not code page 932 text, the reserved name (also with
// blanks around it), bytes that Windows forbids in file names, device names (CON, com1.txt), and a
// leading or trailing blank or a trailing dot, which Windows would change.
bool IsRefusedName(const std::string& name);
// Whether the command prompt runs the name as it is typed. The name must hold no blank and no
// character at which the prompt ends a command's name ("a&b" runs a, then b), and must not start
// with "@", which the prompt drops.
bool PromptTakesAsTyped(const std::string& name);
// Whether the text holds a CR or LF, which no line of "alias.ini" can hold.
bool HasLineBreak(const std::wstring& text);
// Whether a program path (not a DOS alias's command), once the program search has resolved it,
// fits the limit of a start (FitsStartLimit).
bool ProgramFitsStart(const std::wstring& program);
// Converts an alias name into its helper file's name, exactly in code page 932, because the
// program folder is worked on with ANSI calls. Returns a failure when code page 932 cannot hold
// the name.
TFailure HelperFileName(const std::wstring& name, std::string& fileName);
// Upper-cases the text as the locale does (CharUpperBuffA), NUL bytes included.
std::string UpperLocale(const std::string& text);
