// Which alias names and values alias.exe accepts.
#pragma once

#include <string>

#include "Report.h"
#include "Schema.h"

// True for names that cannot be aliases because they are no plain file name in the program
// folder: the reserved name (also with blanks around it), bytes Windows forbids in file names
// (separators, ":" and the like, control bytes), device names such as CON or com1.txt, and
// names with a leading or trailing blank or a trailing dot, which Windows would change.
bool IsRefusedName(const std::string& name);
// The text holds a CR or LF, which no line of "alias.ini" can hold.
bool HasLineBreak(const std::wstring& text);
// A program (not a DOS alias's command) that the system could start: as the program search
// reads it (".exe" added; a bare name it finds, the file's path), within FitsStartLimit.
bool ProgramFitsStart(const std::wstring& program);
// An alias name as the name of its helper file: code page 932 exactly, for the ANSI file calls
// of the program folder; a failure when code page 932 cannot hold it.
TFailure HelperFileName(const std::wstring& name, std::string& fileName);
