// Files and paths. Paths of the program folder are code page 932; programs and working folders are
// UTF-16, since a folder on PATH may hold any character.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ExtMem.h"
#include "Handle.h"

// By attributes (a wildcard matches nothing). FileFound: a file or a folder.
DWORD FileAttributes(const std::string& path);
bool FileFound(const std::string& path);
bool IsExistingFile(const std::string& path);
bool IsDirectory(const std::string& path);

std::wstring ModuleFilePath();
// The path with its short (8.3) names given long, as the file system names them; itself when the
// system cannot tell.
std::wstring LongPath(const std::wstring& path);
// The program's path (LongPath(ModuleFilePath())) in code page 932, for the ANSI calls; false when
// that code page cannot hold it, since every ANSI file call would then work on a changed path.
bool ProgramFilePath(const std::wstring& wide, std::string& path);
// Where the file name starts and its extension (the size for none), code page 932 by its rule.
struct TPathParts {
    size_t FileName;
    size_t Extension;
};
TPathParts SplitPath(const std::string& path);
TPathParts SplitPath(const std::wstring& path);
template <class S> S DirectoryPart(const S& path) {
    return path.substr(0, SplitPath(path).FileName);
}
inline bool IsPathSeparator(wchar_t c) {
    return c == '\\' || c == '/';
}
// The path in full (alias.exe's alone); itself when the system cannot tell.
std::wstring FullPath(const std::wstring& path);

// Ending in "\"; empty when the system cannot tell.
std::string WindowsDirectory();

// Of this process. A null value removes the variable.
std::wstring EnvironmentValue(const wchar_t* name);
bool IsEnvironmentVariableSet(const wchar_t* name);
bool SetEnvironmentValue(const wchar_t* name, const wchar_t* value);

// What the file system says a file or folder is (volume and index), whatever the spelling: case,
// "..", a short name, a second link, a symbolic link or a mapped drive.
struct TFileId {
    DWORD Volume, High, Low;
};
bool FileIdOf(const std::wstring& path, TFileId& id);
// One file whatever the spelling.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// The longest paths the system starts a program with, or in (with the "\" it adds to a folder).
inline bool FitsStartLimit(const std::wstring& path, bool folder) {
    const size_t n = path.size();
    return n < size_t(MAX_PATH - folder) ||
           (n == MAX_PATH - 1 && IsPathSeparator(path.c_str()[n - 1]));
}
bool IsProgramFile(const std::wstring& path);
bool IsWorkingFolder(const std::wstring& dir);

// The program an alias names, ".exe" added where there is no extension: a path must name a
// program file; a bare name is looked for in the program folder, the system's, the Windows
// folders, then PATH. Never the current folder or a relative PATH entry: what a name starts must
// not depend on where the caller stands.
// passOver is the helper's own file, which the search never takes, so a helper never starts
// itself. It is empty when no helper is starting the program: then nothing is passed over.
bool ResolveProgram(std::wstring& app, const std::wstring& passOver);
// An interpreter, found by the same search but for the program folder: every file there may be
// an alias's helper. A path is taken as it is, unlooked at.
bool ResolveInterpreter(std::wstring& app);
// The program at the head of a command, found as ResolveProgram finds it with nothing to pass
// over, and the arguments after it: a quoted head is the program; an unquoted one with blanks is
// the longest stretch up to a blank that names a program, so "D:\My Tools\ed.exe" never starts a
// "D:\My.exe".
bool ResolveCommand(const std::wstring& command, std::wstring& program, std::wstring& arguments);
// The interpreter of DOS aliases: COMSPEC, else the system folder's cmd.exe.
std::wstring InterpreterPath();

// The next entry of a list such as PATH, without blanks and one pair of quotes around it.
bool NextListEntry(const std::wstring& list, size_t& start, std::wstring& entry);

// A file another program holds for a moment (a save's replace, a helper reading alias.ini) is
// waited out for about a second before the call's failure counts.
constexpr int kSharingAttempts = 40;
constexpr DWORD kSharingPauseMs = 25;

// Only a file that is not there is missing: one that cannot be read still holds something.
enum TLoadResult : int32_t { lrLoaded = 0, lrMissing = 1, lrUnreadable = 2, lrOutOfMemory = 3 };

// The one way a whole file is opened: shared for reading only, a replace in progress waited out for
// about a second, a disk file (no pipe or device) below 4 GB and at most maxSize.
TLoadResult OpenWholeFile(const std::string& path, TFileHandle& file, uint64_t& size,
                          uint64_t maxSize = ~0ull);
// The file so opened, in a block of its size and a zero byte (counted by Size()).
TLoadResult ReadWholeFile(const std::string& path, TExtMem& bytes, uint64_t maxSize = ~0ull);

// The files, none of skipAttributes, that search matches (alias.exe's alone). Listed wide and
// converted exactly: the ANSI listing would give a look-alike ("cafe.exe" for "café.exe"). 0, or
// the system's error when the folder cannot be listed (none matching is no failure).
DWORD ListFolder(const std::wstring& search, std::vector<std::string>& names,
                 uint32_t skipAttributes = 0);
// The names of the folders in folder (no separator at its end), "." and ".." aside; none when it
// cannot be listed.
std::vector<std::wstring> ListSubfolders(const std::wstring& folder);

bool WriteAll(HANDLE file, const char* data, size_t size);
// The one way either program writes an error line: kErrorLinePrefix and text on standard output,
// its control bytes blanked, since an escape sequence could hide or change what the user reads.
void WriteErrorLine(std::string_view text);

// A file read in pieces where the file says (a program's headers), alias.exe's alone. Open gives
// 0 or the system's error; a read is exact or fails.
class TPieceReader {
  public:
    DWORD Open(const std::wstring& path);
    bool Size(uint64_t& size) const;
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count) const;

  private:
    TFileHandle FFile;
};

// Changes of files, alias.exe's alone; false, with the system's error, on failure.
bool RemoveFile(const std::string& path);
bool MoveFileTo(const std::string& from, const std::string& to, bool replace);
bool CopyFileTo(const std::string& from, const std::string& to);
// Replaces the file in one step with what write puts into a new one beside it, flushed to the
// disk: a failure leaves the old file as it was. False for a read-only target.
bool ReplaceWholeFile(const std::string& path, const std::function<bool(HANDLE)>& write);
bool ReplaceWholeFile(const std::string& path, const char* data, size_t size);
