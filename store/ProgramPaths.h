// Start-up paths both programs compute the same way, and where they find "alias.ini".
#pragma once

#include <string>

// Full path of the running program file (GetModuleFileNameA, grown until it fits).
std::string ModuleFilePath();
// path up to and including its last "\" or "/" (double-byte rule); empty when there is none.
std::string DirectoryPart(const std::string& path);
// The Windows directory, ending in "\"; empty when the system cannot tell.
std::string WindowsDirectory();
// exeDir + "alias.ini" when that is a file; else winDir + "alias.ini" when that is a file;
// else exeDir + "alias.ini".
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

// The value of an environment variable of this process; empty when it is unset.
std::string EnvironmentValue(const char* name);

// SearchPathA in the system's default order for a program file name; the buffer grows to the
// size a long result needs. False when nothing is found.
bool SearchProgramFile(const std::string& name, std::string& found);

// The two paths name one file (same volume and file index), whatever their spelling: another
// case, "." or ".." steps, a short name or a second hard link.
bool IsSameFile(const std::string& a, const std::string& b);
// SearchProgramFile that never yields the file self (a helper command's own file). Only when
// the default order finds self does the search go on: the current directory, the system
// folders and the PATH folders, passing over each folder where the name is self.
bool SearchProgramFileExcept(const std::string& name, const std::string& self, std::string& found);
