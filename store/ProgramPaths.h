// Start-up paths both programs compute the same way, where they find "alias.ini", and how a
// program named by an alias is found. Program files are looked for with the wide calls: a
// folder on PATH may hold characters that code page 932 cannot.
#pragma once

#include <string>

// Full path of the running program file (GetModuleFileNameW, grown until it fits).
std::wstring ModuleFilePath();
// The running program's path in code page 932, which every ANSI file call of the program
// folder works with; false, with error set to the report, when code page 932 cannot hold it.
bool ProgramFilePath(std::string& path, std::string& error);
// path up to and including its last "\" or "/" (double-byte rule); empty when there is none.
std::string DirectoryPart(const std::string& path);
std::wstring DirectoryPart(const std::wstring& path);
// The Windows directory, ending in "\"; empty when the system cannot tell.
std::string WindowsDirectory();
// exeDir + "alias.ini" when that is a file; else winDir + "alias.ini" when that is a file;
// else exeDir + "alias.ini".
std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir);

// The value of an environment variable of this process; empty when it is unset.
std::wstring EnvironmentValue(const wchar_t* name);

// The two paths name one file (same volume and file index), whatever their spelling: another
// case, "." or ".." steps, a short name or a second hard link.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// The program file an alias names, as both programs find it: ".exe" is added when the file
// name has no extension; a path (with "\" or "/") must name an existing file; a bare name is
// searched for in the system's default order. Only a file is a program, never a folder, and
// never the file self (a helper command's own, empty for none): where the default order finds
// one of those, the search goes on folder by folder (the program's folder, the current
// directory, the system folders, then PATH) and takes the first file that is neither. False
// when nothing is found; app holds the name with ".exe" added either way.
bool ResolveProgram(std::wstring& app, const std::wstring& self);
