// The program folder of alias.exe: its start-up values and the files it keeps there.
#pragma once

#include <string>

// Start-up values, set once by InitPaths.
extern std::string ExePath; // the running program file
extern std::string ExeDir;  // its folder, ending in its separator
extern std::string WinDir;  // the Windows directory, ending in "\"

// False, with the report in error, when the program folder cannot be named in code page 932.
bool InitPaths(std::string& error);
// Where "alias.ini" is: beside the program, else in the Windows directory, else beside the
// program again (where /edit creates it). Evaluated anew at every call.
std::string FindDefinitionFile();
// The helper command of an alias; the name must have passed IsRefusedName.
std::string HelperPath(const std::string& name);
// The windowed ("rudi.ex_") or the console ("dovoz.ex_") template.
std::string TemplatePath(bool windowed);
