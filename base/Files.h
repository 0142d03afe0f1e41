// Files and paths. Paths inside the program folder are kept in code page 932. The paths of the
// programs an alias starts, and of their working folders, are kept in UTF-16, because a folder on
// PATH may have any character in its name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ExtMem.h"
#include "Handle.h"

// These look at a path's attributes, so a path with a wildcard matches nothing. FileFound is true
// for a file or a folder, IsExistingFile only for a file, and IsDirectory only for a folder.
DWORD FileAttributes(const std::string& path);
bool FileFound(const std::string& path);
bool IsExistingFile(const std::string& path);
bool IsDirectory(const std::string& path);

std::wstring ModuleFilePath();
// Returns the path with each short (8.3) name replaced by its long name, spelled as the file
// system spells it. Returns the path unchanged when the system cannot tell.
std::wstring LongPath(const std::wstring& path);
// Converts the program's path (LongPath(ModuleFilePath())) to code page 932 for the ANSI calls.
// Returns false when code page 932 cannot hold it, because every ANSI file call would then work
// on a different path from the real one.
bool ProgramFilePath(const std::wstring& wide, std::string& path);
// The positions where a path's file name starts and where its extension starts; the extension's
// position is the path's size when there is none. A code page 932 path is read by characters, so
// the second byte of a double-byte character is never taken for a separator or a dot.
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
// Returns the full path of path, or path unchanged when the system cannot tell. Only alias.exe
// uses it.
std::wstring FullPath(const std::wstring& path);

// Returns the Windows folder in code page 932, ending in "\". Returns an empty text when the
// system cannot tell or when code page 932 cannot hold the folder's name.
std::string WindowsDirectory();

// The environment variables of this process. Setting a variable to a null value removes it.
std::wstring EnvironmentValue(const wchar_t* name);
bool IsEnvironmentVariableSet(const wchar_t* name);
bool SetEnvironmentValue(const wchar_t* name, const wchar_t* value);

// Identifies a file or folder the way the file system does, by its volume and index. Two paths to
// one file give the same identity however they differ: in case, with "..", with a short name,
// through a second hard link, a symbolic link or a mapped drive.
struct TFileId {
    DWORD Volume, High, Low;
};
bool FileIdOf(const std::wstring& path, TFileId& id);
// Returns true when both paths name the same file, however each of them is spelled.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// Whether a path is short enough for the system to start a program from it, or (when folder is
// true) to start a program in it. The system adds a "\" to the end of a working folder, so a folder
// needs room for one more character unless it already ends in one.
inline bool FitsStartLimit(const std::wstring& path, bool folder) {
    const size_t n = path.size();
    return n < size_t(MAX_PATH - folder) ||
           (n == MAX_PATH - 1 && IsPathSeparator(path.c_str()[n - 1]));
}
bool IsProgramFile(const std::wstring& path);
bool IsWorkingFolder(const std::wstring& dir);

// Finds the program an alias names, adding ".exe" when the name has no extension. A path must name
// a program file. A bare name is looked for in the program folder, the system folder, the Windows
// folders and then the folders on PATH. The current folder and relative PATH entries are never
// searched, because what a name starts must not depend on where the caller happens to stand.
// passOver is the helper's own file, which the search never takes, so that a helper never starts
// itself. It is empty when no helper is starting the program, and then nothing is passed over.
bool ResolveProgram(std::wstring& app, const std::wstring& passOver);
// Finds an interpreter by the same search, except that the program folder is skipped, because any
// file there may be an alias's helper. A path is taken as it is, without checking that it exists.
bool ResolveInterpreter(std::wstring& app);
// Splits a command into the program at its head and the arguments after it, finding the program
// as ResolveProgram does, with nothing to pass over. A quoted head is the program. When the head is
// not quoted and holds blanks, the program is the longest stretch up to a blank that names a
// program, so "D:\My Tools\ed.exe" never starts a "D:\My.exe" instead.
bool ResolveCommand(const std::wstring& command, std::wstring& program, std::wstring& arguments);
// Returns the interpreter that runs DOS aliases: the program that COMSPEC names, or else cmd.exe in
// the system folder.
std::wstring InterpreterPath();

// Reads the next entry of a list such as PATH, removing the blanks around it and one pair of
// quotes around it. Returns false when the list has no more entries.
bool NextListEntry(const std::wstring& list, size_t& start, std::wstring& entry);

// Another program may hold a file for a moment, such as a save replacing it or a helper reading
// alias.ini. A call that meets such a file is retried for about a second before its failure counts.
constexpr int kSharingAttempts = 40;
constexpr DWORD kSharingPauseMs = 25;

// Only a file that is not there counts as missing. A file that cannot be read still holds
// something, so it must never be taken for an empty one.
enum TLoadResult : int32_t { lrLoaded = 0, lrMissing = 1, lrUnreadable = 2, lrOutOfMemory = 3 };

// The one way a whole file is opened. Others may only read it while it is open, and a replace in
// progress is waited out for about a second. Only a disk file (not a pipe or a device) that is
// smaller than 4 GB and at most maxSize bytes long is opened.
TLoadResult OpenWholeFile(const std::string& path, TFileHandle& file, uint64_t& size,
                          uint64_t maxSize = ~0ull);
// Reads a file opened that way into a block that holds its bytes and a closing zero byte. The
// block's Size() counts that zero byte too.
TLoadResult ReadWholeFile(const std::string& path, TExtMem& bytes, uint64_t maxSize = ~0ull);

// Lists the names of the files that search matches, leaving out folders and files that have any of
// skipAttributes. Only alias.exe uses it. The names are listed in UTF-16 and converted exactly,
// because the ANSI listing would give a look-alike ("cafe.exe" for "café.exe"); a name that code
// page 932 cannot hold is left out. Returns 0 on success, or the system's error when the folder
// cannot be listed. A folder in which nothing matches is not a failure.
DWORD ListFolder(const std::wstring& search, std::vector<std::string>& names,
                 uint32_t skipAttributes = 0);
// Returns the names of the folders inside folder, leaving out "." and "..". The folder's path must
// not end in a separator. Returns no names when the folder cannot be listed.
std::vector<std::wstring> ListSubfolders(const std::wstring& folder);

bool WriteAll(HANDLE file, const char* data, size_t size);
// The one way either program writes an error line: kErrorLinePrefix and then text, on standard
// output. Control bytes in text become blanks, because an escape sequence could hide or change what
// the user reads.
void WriteErrorLine(std::string_view text);

// Reads a file in pieces at the offsets the file itself gives, such as a program's headers. Only
// alias.exe uses it. Open returns 0 on success or else the system's error. A read either reads
// exactly the bytes asked for or fails.
class TPieceReader {
  public:
    DWORD Open(const std::wstring& path);
    bool Size(uint64_t& size) const;
    bool ReadAt(uint64_t offset, void* buffer, uint32_t count) const;

  private:
    TFileHandle FFile;
};

// Functions that change files, used only by alias.exe. Each returns false on failure and leaves the
// system's error for the caller.
bool RemoveFile(const std::string& path);
bool MoveFileTo(const std::string& from, const std::string& to, bool replace);
bool CopyFileTo(const std::string& from, const std::string& to);
// Replaces the file in one step. write fills a new file beside it, which is flushed to the disk
// and then takes the old file's place, so a failure leaves the old file as it was. Returns false
// for a read-only target.
bool ReplaceWholeFile(const std::string& path, const std::function<bool(HANDLE)>& write);
bool ReplaceWholeFile(const std::string& path, const char* data, size_t size);
