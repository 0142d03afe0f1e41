// Files and paths: the parts of a path, what a path names, the start-up paths both programs
// compute the same way, how a program is found, and files replaced in one step. Program files
// are looked for with the wide calls: a folder on PATH may hold characters that code page 932
// cannot.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ExtMem.h"
#include "Handle.h"

// What a path names, by its attributes (a wildcard matches nothing; a drive root and a path
// ending in "\" name their folder). Paths of the program folder are code page 932, paths of
// programs and working folders UTF-16.
// Something (a file or a folder) is there.
bool FileFound(const std::string& path);
// A file, not a folder.
bool IsExistingFile(const std::string& path);
// A folder.
bool IsDirectory(const std::string& path);

// Full path of the running program file (GetModuleFileNameW, grown until it fits).
std::wstring ModuleFilePath();
// The running program's path in code page 932, which every ANSI file call of the program
// folder works with; false, with error set to the report, when code page 932 cannot hold it.
bool ProgramFilePath(std::string& path, std::string& error);
// Where a path's file name starts (after its last "\" or "/") and where the file name's
// extension starts (at its last "."; the path's size when it has none). Code page 932 paths are
// read by the double-byte rule, so a second byte is never taken for a separator or a dot.
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
// "\" or "/", which both end a folder's name in a path.
inline bool IsPathSeparator(wchar_t c) {
    return c == '\\' || c == '/';
}

// The Windows directory, ending in "\"; empty when the system cannot tell.
std::string WindowsDirectory();

// The value of an environment variable of this process; empty when it is unset.
std::wstring EnvironmentValue(const wchar_t* name);

// The two paths name one file (same volume and file index), whatever their spelling: another
// case, "." or ".." steps, a short name or a second hard link.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// The longest paths the system starts a program with: the program of CreateProcessW's command
// line shorter than MAX_PATH (259 characters at most); a working folder too, with the "\" the
// system adds to it (SetCurrentDirectory's limit: 258 characters without it, 259 with it). An
// empty folder is the caller's own.
inline bool FitsStartLimit(const std::wstring& path, bool folder) {
    const size_t n = path.size();
    return n < size_t(MAX_PATH - folder) ||
           (n == MAX_PATH - 1 && IsPathSeparator(path.c_str()[n - 1]));
}
// A file the system can start as a program, and a folder it can start one in: within the limit,
// and a file, or a folder.
bool IsProgramFile(const std::wstring& path);
bool IsWorkingFolder(const std::wstring& dir);

// The program file an alias names, as both programs find it: ".exe" is added when the file
// name has no extension; a path (with "\" or "/") must name an existing file, relative to the
// current folder as any path is; a bare name is looked for in the running program's folder,
// the system folder, the Windows folders, then each folder of PATH, in that order. The current
// folder is never searched, nor a PATH entry that is relative to it (or empty). Only a file the
// system can start (IsProgramFile) is a program, never a folder, and never the file *self (a
// helper command's own, empty for none); with self null (the interpreter's search) no file of
// the running program's folder, and a path is taken as it is. False when nothing is found; app
// holds the name with ".exe" added either way.
bool ResolveProgram(std::wstring& app, const std::wstring* self);
// The interpreter of DOS aliases: COMSPEC, a path as it is (".exe" added where it has no
// extension), a bare name searched for as ResolveProgram searches with every file of the running
// program's folder passed over (the system would look there first, where the helper of an alias
// of that name may be: an interpreter is never an alias); the system folder's cmd.exe when
// COMSPEC is unset or its bare name names no program the system can start.
std::wstring InterpreterPath();

// The entry of a ";"-separated folder list such as PATH that starts at start, without the
// blanks around it and one pair of quotes (empty for an empty entry); start moves to the next.
// False once the list is used up.
bool NextListEntry(const std::wstring& list, size_t& start, std::wstring& entry);

// What reading a whole file gives. Only a file that is not there is missing: one that is there
// and cannot be read (held by another program, no access, a folder, a read error, too large) is
// unreadable, and so is never taken for an absent one.
enum TLoadResult : int32_t { lrLoaded = 0, lrMissing = 1, lrUnreadable = 2, lrOutOfMemory = 3 };

// The one way a whole file is opened to be read: for reading while others may read it too;
// held by another program for writing (a replace in progress), the open is retried for about a
// second; it must be a file on a disk (a pipe or a device of that name is unreadable), its size
// below 4 GB and at most maxSize. Anything but lrLoaded leaves file closed.
TLoadResult OpenWholeFile(const std::string& path, TFileHandle& file, uint64_t& size,
                          uint64_t maxSize = ~0ull);
// The whole file so opened, read with one ReadFile into a block of exactly its size plus a zero
// byte after it (bytes.Size() counts the zero). Anything but lrLoaded leaves bytes empty.
TLoadResult ReadWholeFile(const std::string& path, TExtMem& bytes, uint64_t maxSize = ~0ull);

// The names of the files (no folders, no files with one of skipAttributes) that search (a folder
// and a pattern) matches. Listed with the wide call and converted exactly: the ANSI listing
// would give a look-alike for a name code page 932 cannot hold ("cafe.exe" for "café.exe"), a
// file that is not there; such a name is left out, so no ANSI file call is ever made on it.
std::vector<std::string> ListFolder(const std::wstring& search, uint32_t skipAttributes = 0);

// Writes bytes to a file; false unless all of them went.
bool WriteAll(HANDLE file, const char* data, size_t size);
