// What only alias.exe asks of the file system: listings, full paths and every change of a file.
// The helper's build leaves this file out, so these system calls are not imported by every helper
// command.
#include "Encoding.h"
#include "Files.h"
#include "Format.h"
#include "Grow.h"
#include "Handle.h"

namespace {

// Calls take for each entry that search matches, skipping "." and "..". Returns 0 when the
// listing ends normally, also when nothing matched; otherwise the system's error, such as that of
// a folder that does not exist or may not be read.
template <class F> DWORD ForEachEntry(const std::wstring& search, const F& take) {
    WIN32_FIND_DATAW fd;
    TFindHandle find(FindFirstFileW(search.c_str(), &fd));
    if (!find.Valid()) {
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_NO_MORE_FILES ? 0 : e;
    }
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
            take(fd);
    } while (FindNextFileW(find.Get(), &fd));
    const DWORD e = GetLastError();
    return e == ERROR_NO_MORE_FILES ? 0 : e;
}

} // namespace

DWORD ListFolder(const std::wstring& search, std::vector<std::string>& names,
                 uint32_t skipAttributes) {
    names.clear();
    std::string name;
    return ForEachEntry(search, [&](const WIN32_FIND_DATAW& fd) {
        if (!(fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | skipAttributes)) &&
            FromWide(fd.cFileName, teCp932, name))
            names.push_back(name);
    });
}

std::vector<std::wstring> ListSubfolders(const std::wstring& folder) {
    std::vector<std::wstring> names;
    ForEachEntry(folder + L"\\*", [&](const WIN32_FIND_DATAW& fd) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.push_back(fd.cFileName);
    });
    return names;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full;
    return FillGrowing(full,
                       [&path](wchar_t* buffer, size_t capacity) {
                           return size_t(
                               GetFullPathNameW(path.c_str(), DWORD(capacity), buffer, nullptr));
                       })
               ? full
               : path;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool MoveFileTo(const std::string& from, const std::string& to, bool replace) {
    return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool ReplaceWholeFile(const std::string& path, const std::function<bool(HANDLE)>& write) {
    // A read-only target (or a folder of that name) is refused before anything is written.
    const DWORD attrs = FileAttributes(path);
    if (attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED); // the error that writing to it would have met
        return false;
    }
    // Temporary files left behind by replaces that were killed are removed. A replace still in
    // progress holds its file open without sharing it, so its file cannot be removed and stays.
    // Removing them is only a tidy-up: a folder that may be written but not listed still takes
    // the save, and the old files stay where they are.
    std::wstring search;
    std::vector<std::string> left;
    if (ToWide(path + ".~*.tmp", teCp932, search))
        ListFolder(search, left);
    for (const auto& name : left)
        RemoveFile(DirectoryPart(path) + name);
    const std::string temp = path + ".~" + FormatNumber<std::string>(GetCurrentProcessId(), 16) +
                             FormatNumber<std::string>(GetTickCount(), 16) + ".tmp";
    TFileHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    // The clean-up keeps the error that made the replace fail, which is what the user must hear.
    auto dropTemp = [&temp] {
        const DWORD e = GetLastError();
        RemoveFile(temp);
        SetLastError(e);
        return false;
    };
    const bool written = write(file.Get()) && FlushFileBuffers(file.Get());
    if (!file.Close() || !written)
        return dropTemp();
    // A helper command that is reading the file holds it open for a moment, so the move is
    // retried for about a second.
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(temp.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD e = GetLastError();
        if ((e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED &&
             e != ERROR_LOCK_VIOLATION) ||
            attempt == kSharingAttempts)
            break;
        Sleep(kSharingPauseMs);
    }
    return dropTemp();
}

bool ReplaceWholeFile(const std::string& path, const char* data, size_t size) {
    return ReplaceWholeFile(path, [&](HANDLE file) { return WriteAll(file, data, size); });
}
