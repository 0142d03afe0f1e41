// Which alias names and values alias.exe accepts.
#pragma once

#include <string>

#include "Report.h"
#include "Schema.h"

// Names that are no plain file name in the program folder: bytes that are no code page 932 text,
// the reserved name (blanks around it too), bytes Windows forbids in file names, device names
// (CON, com1.txt), a leading or trailing blank or a trailing dot, which Windows would change.
bool IsRefusedName(const std::string& name);
// A name the command prompt runs as typed: no blank or character at which it ends a command's
// name ("a&b" runs a, then b), and no leading "@" (which it drops).
bool PromptTakesAsTyped(const std::string& name);
// A CR or LF, which no line of "alias.ini" can hold.
bool HasLineBreak(const std::wstring& text);
// A program (no DOS alias's command) as the search reads it within FitsStartLimit.
bool ProgramFitsStart(const std::wstring& program);
// An alias name as its helper file's name, exactly in code page 932 for the ANSI calls of the
// program folder; a failure when code page 932 cannot hold it.
TFailure HelperFileName(const std::wstring& name, std::string& fileName);
// The locale's upper case (CharUpperBuffA, NUL bytes too).
std::string UpperLocale(const std::string& text);
