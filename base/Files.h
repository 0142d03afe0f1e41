// Files and paths: what a path names, the start-up paths both programs compute alike, the program
// search, whole-file reads and folder listings. Paths of the program folder are code page 932;
// programs and working folders are UTF-16, since a folder on PATH may hold any character.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Handle.h"

// By attributes: a wildcard matches nothing; a drive root or a path ending in "\" names its
// folder. FileFound: a file or a folder.
bool FileFound(const std::string& path);
bool IsExistingFile(const std::string& path);
bool IsDirectory(const std::string& path);

// The running program's file (GetModuleFileNameW).
std::wstring ModuleFilePath();
// The same in code page 932, which every ANSI call of the program folder works with; false, with
// the report in error, when code page 932 cannot hold it.
bool ProgramFilePath(std::string& path, std::string& error);
// Where the file name starts (after the last "\" or "/") and its extension (the last "."; the
// size when none). Code page 932 is read by the double-byte rule.
struct TPathParts {
    size_t FileName;
    size_t Extension;
};
TPathParts SplitPath(const std::string& path);
TPathParts SplitPath(const std::wstring& path);
// path up to and including its last "\" or "/"; empty when there is none.
template <class S> S DirectoryPart(const S& path) {
    return path.substr(0, SplitPath(path).FileName);
}
inline bool IsPathSeparator(wchar_t c) {
    return c == '\\' || c == '/';
}
// The full path of path (GetFullPathNameW); path itself when the system cannot tell.
std::wstring FullPath(const std::wstring& path);

// The Windows directory, ending in "\"; empty when the system cannot tell.
std::string WindowsDirectory();

// An environment variable of this process; empty when unset. Setting a null value removes it.
std::wstring EnvironmentValue(const wchar_t* name);
bool IsEnvironmentVariableSet(const wchar_t* name);
bool SetEnvironmentValue(const wchar_t* name, const wchar_t* value);

// One file (volume and file index), whatever the spelling: case, "." and "..", a short name, a
// second hard link.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// The longest paths the system starts a program with: a program below MAX_PATH; a working folder
// with the "\" the system adds (258 characters without it). An empty folder is the caller's.
inline bool FitsStartLimit(const std::wstring& path, bool folder) {
    const size_t n = path.size();
    return n < size_t(MAX_PATH - folder) ||
           (n == MAX_PATH - 1 && IsPathSeparator(path.c_str()[n - 1]));
}
// Within the limit, and a file or a folder.
bool IsProgramFile(const std::wstring& path);
bool IsWorkingFolder(const std::wstring& dir);

// The program an alias names, as both programs find it: ".exe" added to a name without an
// extension; a path (with "\" or "/") must name a program file; a bare name is looked for in the
// program folder, the system folder, the Windows folders, then PATH. Never the current folder,
// nor a relative PATH entry: what a name starts must not depend on where the caller stands. Never
// *self (the helper's own file; empty for none). With self null (the interpreter's search) the
// program folder is passed over and a path is taken as it is. False when nothing is found.
bool ResolveProgram(std::wstring& app, const std::wstring* self);
// The interpreter of DOS aliases: COMSPEC (a bare name searched for with the program folder
// passed over: an interpreter is never an alias), else the system folder's cmd.exe.
std::wstring InterpreterPath();

// The next entry of a ";"-list such as PATH from start, without blanks around it and one pair of
// quotes; start moves on. False once the list is used up.
bool NextListEntry(const std::wstring& list, size_t& start, std::wstring& entry);

// What reading a whole file gives. Only a file that is not there is missing: one that cannot be
// read (held, no access, a folder, too large) still holds something and is never taken for none.
enum TLoadResult : int32_t { lrLoaded = 0, lrMissing = 1, lrUnreadable = 2, lrOutOfMemory = 3 };

// The one way a whole file is opened: shared for reading only; a file held for writing (a replace
// in progress) is retried for about a second; a disk file (never a pipe or device), below 4 GB and
// at most maxSize. Anything but lrLoaded leaves file closed.
TLoadResult OpenWholeFile(const std::string& path, TFileHandle& file, uint64_t& size,
                          uint64_t maxSize = ~0ull);
// The file so opened, read into a block of its size and a zero byte after it (counted by Size()).
TLoadResult ReadWholeFile(const std::string& path, TExtMem& bytes, uint64_t maxSize = ~0ull);

// The files (no folders, none of skipAttributes) that search matches. Listed wide and converted
// exactly: the ANSI listing would give a look-alike ("cafe.exe" for "café.exe"), a file that is
// not there; such a name is left out.
std::vector<std::string> ListFolder(const std::wstring& search, uint32_t skipAttributes = 0);

// false unless every byte went.
bool WriteAll(HANDLE file, const char* data, size_t size);
