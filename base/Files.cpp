#include "Files.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "CommandLine.h"
#include "Encoding.h"
#include "Grow.h"
#include "Handle.h"
#include "Report.h"
#include "Text.h"

DWORD FileAttributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

bool FileFound(const std::string& path) {
    return FileAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

static DWORD FileAttributes(const std::wstring& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
}

template <class S> static bool HasAttributes(const S& path, DWORD directory) {
    const DWORD attrs = FileAttributes(path);
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == directory;
}

bool IsExistingFile(const std::string& path) {
    return HasAttributes(path, 0);
}
bool IsProgramFile(const std::wstring& path) {
    return FitsStartLimit(path, false) && HasAttributes(path, 0);
}
bool IsDirectory(const std::string& path) {
    return HasAttributes(path, FILE_ATTRIBUTE_DIRECTORY);
}
bool IsWorkingFolder(const std::wstring& path) {
    return FitsStartLimit(path, true) && HasAttributes(path, FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ModuleFilePath() {
    // This call does not say what size it needs, and a name that fills the buffer may have been
    // cut off, so the buffer grows until the name fits with room to spare.
    std::wstring path;
    FillGrowing(path, [](wchar_t* buffer, size_t capacity) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer, DWORD(capacity));
        return n < capacity ? n : capacity * 2;
    });
    return path;
}

bool ProgramFilePath(const std::wstring& wide, std::string& path) {
    return !wide.empty() && FromWide(wide, teCp932, path);
}

TPathParts SplitPath(const std::string& path) {
    // Walks the path once, by characters, so that the second byte of a double-byte character is
    // never taken for a separator or a dot. Each separator starts the file name again, and the
    // last "." after it starts the extension.
    size_t name = 0, dot = 0;
    for (size_t i = 0, n; i < path.size(); i += n) {
        n = CharLength(path, i);
        if (n == 1 && IsPathSeparator(path[i]))
            name = i + 1, dot = 0;
        else if (n == 1 && path[i] == '.')
            dot = i + 1;
    }
    return {name, dot ? dot - 1 : path.size()};
}

TPathParts SplitPath(const std::wstring& path) {
    size_t name = path.size();
    while (name && !IsPathSeparator(path[name - 1]))
        --name;
    const size_t dot = path.rfind('.');
    return {name, dot == std::wstring::npos || dot < name ? path.size() : dot};
}

namespace {

// Returns the text that a system call writes, for calls that return either the length they wrote
// or the capacity they need.
template <class Call> std::wstring FilledBy(Call call) {
    std::wstring text;
    FillGrowing(text, [&](wchar_t* buffer, size_t capacity) {
        return size_t(call(buffer, DWORD(capacity)));
    });
    return text;
}

std::wstring WindowsFolder() {
    return FilledBy([](wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); });
}

std::wstring SystemFolder() {
    return FilledBy([](wchar_t* b, DWORD n) { return GetSystemDirectoryW(b, n); });
}

} // namespace

std::wstring LongPath(const std::wstring& path) {
    // The function is looked up when it is called instead of being imported (kernel32 has had it
    // since Windows 2000), because one more import would make every helper file a sector larger.
    using TGetLongPathName = DWORD(WINAPI*)(const wchar_t*, wchar_t*, DWORD);
    const auto getLongPathName = reinterpret_cast<TGetLongPathName>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"kernel32"), "GetLongPathNameW")));
    if (!getLongPathName)
        return path;
    const std::wstring found =
        FilledBy([&](wchar_t* b, DWORD n) { return getLongPathName(path.c_str(), b, n); });
    return found.empty() ? path : found;
}

std::string WindowsDirectory() {
    std::string dir;
    if (!FromWide(WindowsFolder(), teCp932, dir) || dir.empty())
        return std::string();
    if (dir.back() != '\\')
        dir.append(1, '\\');
    return dir;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    return FilledBy([name](wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name, b, n); });
}

bool IsEnvironmentVariableSet(const wchar_t* name) {
    // The size this call asks for includes the closing zero, so a variable set to nothing still
    // gives 1, and only a variable that is not set gives 0.
    return GetEnvironmentVariableW(name, nullptr, 0) != 0;
}

bool SetEnvironmentValue(const wchar_t* name, const wchar_t* value) {
    return SetEnvironmentVariableW(name, value) != 0;
}

namespace {

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access is asked for, so that the file of a running program opens too. The backup flag
    // lets a folder be opened as well.
    TFileHandle f(CreateFileW(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return f.Valid() && GetFileInformationByHandle(f.Get(), &info);
}

// Whether a folder's name means the same folder whatever the current folder and drive are:
// "X:\..." or "\\server\...".
bool IsAbsoluteFolder(const std::wstring& f) {
    return f.size() > 2 &&
           (f[1] == ':' ? IsPathSeparator(f[2]) : IsPathSeparator(f[0]) && IsPathSeparator(f[1]));
}

} // namespace

bool FileIdOf(const std::wstring& path, TFileId& id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!FileIdentity(path, info))
        return false;
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return FileIdentity(a, x) && FileIdentity(b, y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

namespace {

// The one search behind ResolveProgram and ResolveInterpreter. An interpreter's search has no file
// to pass over, so passOver is null for it.
bool FindProgram(std::wstring& app, const std::wstring* passOver) {
    const bool interpreter = !passOver;
    const TPathParts parts = SplitPath(app);
    if (parts.Extension == app.size())
        app += L".exe";
    // A path is not searched for. A program's path must name a program file, but an interpreter's
    // path is taken as it is, because checking it would cost every start one more system call.
    if (parts.FileName != 0)
        return interpreter || IsProgramFile(app);
    // The current folder and relative PATH entries are never searched, because what a bare name
    // starts must not depend on where the caller stands, nor on a file someone left there.
    const std::wstring windows = WindowsFolder(), own = DirectoryPart(ModuleFilePath());
    // The list is built by appending one piece at a time: the helper links no wide Join, and using
    // one here would make every helper file larger.
    std::wstring list = own;
    list += ';';
    list += SystemFolder();
    list += ';';
    list += windows;
    list += L"\\System;";
    list += windows;
    list += ';';
    list += EnvironmentValue(L"PATH");
    std::wstring folder;
    for (size_t start = 0; NextListEntry(list, start, folder);) {
        // Relative entries are skipped, as said above. An interpreter must never be an alias, so
        // its search also skips the program folder, where any file may be an alias's helper.
        if (!IsAbsoluteFolder(folder) || (interpreter && IsSameFile(folder, own)))
            continue;
        std::wstring found = folder;
        if (!IsPathSeparator(found.back()))
            found += '\\';
        found += app;
        // A program must be a file, and never the file passed over, which is the helper's own. A
        // hard link to that file is passed over too, since IsSameFile compares the files
        // themselves.
        if (IsProgramFile(found) &&
            (interpreter || passOver->empty() || !IsSameFile(found, *passOver))) {
            app = found;
            return true;
        }
    }
    return false;
}

} // namespace

bool ResolveProgram(std::wstring& app, const std::wstring& passOver) {
    return FindProgram(app, &passOver);
}

bool ResolveInterpreter(std::wstring& app) {
    return FindProgram(app, nullptr);
}

bool ResolveCommand(const std::wstring& command, std::wstring& program, std::wstring& arguments) {
    const bool quoted = !command.empty() && command[0] == '"';
    for (size_t end = command.size(); end && end != std::wstring::npos;
         end = quoted ? 0 : command.find_last_of(L" \t", end - 1)) {
        program = quoted ? ProgramNameToken(command) : command.substr(0, end);
        if (!program.empty() && !IsBlank(program.back()) &&
            ResolveProgram(program, std::wstring())) {
            arguments = quoted ? std::wstring(CallerArgumentText(command))
                               : TrimBlanks(command.substr(end));
            return true;
        }
    }
    return false;
}

std::wstring InterpreterPath() {
    std::wstring path = EnvironmentValue(L"COMSPEC");
    // COMSPEC's program is found by our own search, because the system would look for a bare name
    // in the program folder first, where any file may be an alias's helper.
    if (path.empty() || !ResolveInterpreter(path))
        path = SystemFolder().append(L"\\cmd.exe");
    return path;
}

bool NextListEntry(const std::wstring& list, size_t& start, std::wstring& entry) {
    if (start > list.size())
        return false;
    const size_t end = std::min(list.find(';', start), list.size());
    // PATH entries may have blanks around them and quotes around them.
    entry = TrimBlanks(list.substr(start, end - start));
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"')
        entry = entry.substr(1, entry.size() - 2);
    start = end + 1;
    return true;
}

TLoadResult OpenWholeFile(const std::string& path, TFileHandle& file, uint64_t& size,
                          uint64_t maxSize) {
    // While another run's save replaces the file, the file is held for a moment, so the open is
    // retried for a while.
    for (int attempt = 1;; ++attempt) {
        file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr));
        if (file.Valid() || GetLastError() != ERROR_SHARING_VIOLATION ||
            attempt == kSharingAttempts)
            break;
        Sleep(kSharingPauseMs);
    }
    if (!file.Valid()) {
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? lrMissing : lrUnreadable;
    }
    // Only a disk file counts: a pipe with this name (which Wine allows) would read as empty. A
    // file of 4 GB or more is refused, because reading the size as its low part alone would read
    // only part of the file.
    LARGE_INTEGER whole;
    size = GetFileType(file.Get()) == FILE_TYPE_DISK && GetFileSizeEx(file.Get(), &whole)
               ? uint64_t(whole.QuadPart)
               : ~0ull;
    if (size < 0xFFFFFFFF && size <= maxSize)
        return lrLoaded;
    file.Reset();
    return lrUnreadable;
}

TLoadResult ReadWholeFile(const std::string& path, TExtMem& bytes, uint64_t maxSize) {
    bytes.Release();
    TFileHandle file;
    uint64_t size = 0;
    const TLoadResult opened = OpenWholeFile(path, file, size, maxSize);
    if (opened != lrLoaded)
        return opened;
    const DWORD n = DWORD(size);
    auto* data = static_cast<char*>(bytes.Allocate(n + 1));
    if (!data)
        return lrOutOfMemory;
    DWORD got = 0;
    if (n != 0 && (!ReadFile(file.Get(), data, n, &got, nullptr) || got != n)) {
        bytes.Release();
        return lrUnreadable;
    }
    data[n] = '\0';
    return lrLoaded;
}

void WriteErrorLine(std::string_view text) {
    // A short line is built on the stack, so that the report that memory ran out does not need
    // any memory itself.
    char shortLine[512];
    std::string longLine;
    const size_t prefix = sizeof kErrorLinePrefix - 1, size = prefix + text.size() + 2;
    char* line = shortLine;
    if (size > sizeof shortLine) {
        longLine.resize(size);
        line = &longLine[0];
    }
    memcpy(line, kErrorLinePrefix, prefix);
    memcpy(line + prefix, text.data(), text.size());
    BlankControls(line + prefix, line + size - 2);
    memcpy(line + size - 2, "\r\n", 2);
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line, size);
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? DWORD(1u << 30) : DWORD(size);
        DWORD put = 0;
        if (!WriteFile(file, data, chunk, &put, nullptr) || put != chunk)
            return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}
