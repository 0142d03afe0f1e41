#include "ProgramPaths.h"

#include <windows.h>

#include "Handle.h"
#include "TextUtils.h"
#include "WideText.h"

using namespace std::string_view_literals;

std::wstring ModuleFilePath() {
    // MAX_PATH is only the common case; grow while the name is cut off.
    std::wstring buf(MAX_PATH + 1, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &buf[0], DWORD(buf.size()));
        if (n == 0)
            return std::wstring();
        if (n < buf.size() || buf.size() >= 0x10000) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

bool ProgramFilePath(std::string& path, std::string& error) {
    const std::wstring wide = ModuleFilePath();
    if (!wide.empty() && NarrowCp932(wide, path))
        return true;
    // Every ANSI file call would work on a changed path; saying so now beats failing later.
    error =
        "フォルダー " + ShownCp932(DirectoryPart(wide)) +
        " の名前にはコード ページ 932 で表せない文字があります。ほかのフォルダーに置いてください。";
    return false;
}

std::string DirectoryPart(const std::string& path) {
    return path.substr(0, LastCharPos("\\/", path));
}

std::wstring DirectoryPart(const std::wstring& path) {
    const size_t sep = path.find_last_of(L"\\/");
    return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
}

namespace {

std::wstring WindowsFolder() {
    wchar_t buf[MAX_PATH + 1];
    const UINT n = GetWindowsDirectoryW(buf, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

} // namespace

std::string WindowsDirectory() {
    std::string dir;
    if (!NarrowCp932(WindowsFolder(), dir) || dir.empty())
        return std::string();
    return dir.back() == '\\' ? dir : dir + '\\';
}

std::string FindDefinitionFileIn(const std::string& exeDir, const std::string& winDir) {
    const std::string own = exeDir + "alias.ini";
    if (IsExistingFile(own))
        return own;
    if (!winDir.empty()) {
        const std::string win = winDir + "alias.ini";
        if (IsExistingFile(win))
            return win;
    }
    return own;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    std::wstring value(n, '\0');
    if (n == 0 || GetEnvironmentVariableW(name, &value[0], n) != n - 1)
        return std::wstring();
    value.resize(n - 1);
    return value;
}

namespace {

// SearchPathW for name in pathList (nullptr: the system's default order); the buffer grows to
// the size a long result needs.
bool SearchIn(const wchar_t* pathList, const std::wstring& name, std::wstring& found) {
    std::wstring buf(MAX_PATH + 1, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        wchar_t* filePart = nullptr;
        DWORD n =
            SearchPathW(pathList, name.c_str(), nullptr, DWORD(buf.size()), &buf[0], &filePart);
        if (n == 0)
            return false;
        if (n < buf.size()) { // otherwise n is the size needed and the buffer holds nothing
            buf.resize(n);
            found = buf;
            return true;
        }
        buf.assign(n + 1, '\0');
    }
    return false;
}

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access asked: a running program file opens this way too.
    TFileHandle f(CreateFileW(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return f.Valid() && GetFileInformationByHandle(f.Get(), &info);
}

// A program is a file, and never the helper's own.
bool Acceptable(const std::wstring& found, const std::wstring& self) {
    return IsExistingFile(found) && (self.empty() || !IsSameFile(found, self));
}

} // namespace

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return FileIdentity(a, x) && FileIdentity(b, y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

bool ResolveProgram(std::wstring& app, const std::wstring& self) {
    const size_t sep = app.find_last_of(L"\\/");
    if (app.find('.', sep == std::wstring::npos ? 0 : sep + 1) == std::wstring::npos)
        app += L".exe";
    if (sep != std::wstring::npos)
        return IsExistingFile(app);
    std::wstring found;
    if (SearchIn(nullptr, app, found) && Acceptable(found, self)) {
        app = found;
        return true;
    }
    // Where the default order finds a folder of the name or the helper itself (also a hard
    // link to it, or the program folder spelled otherwise on PATH), the same order once more,
    // folder by folder, passing over those.
    wchar_t cwd[MAX_PATH + 1], system[MAX_PATH + 1];
    DWORD cwdSize = GetCurrentDirectoryW(MAX_PATH + 1, cwd);
    UINT systemSize = GetSystemDirectoryW(system, MAX_PATH + 1);
    const std::wstring windows = WindowsFolder();
    const std::wstring list =
        Join({DirectoryPart(ModuleFilePath()), L";"sv,
              std::wstring_view(cwd, cwdSize <= MAX_PATH ? cwdSize : 0), L";"sv,
              std::wstring_view(system, systemSize <= MAX_PATH ? systemSize : 0), L";"sv, windows,
              L"\\System;"sv, windows, L";"sv, EnvironmentValue(L"PATH")});
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(';', start);
        if (end == std::wstring::npos)
            end = list.size();
        // PATH entries may be padded and quoted.
        size_t b = start;
        while (b < end && list[b] <= ' ')
            ++b;
        size_t e = end;
        while (e > b && list[e - 1] <= ' ')
            --e;
        if (e - b >= 2 && list[b] == '"' && list[e - 1] == '"')
            ++b, --e;
        start = end + 1;
        if (b < e && SearchIn(list.substr(b, e - b).c_str(), app, found) &&
            Acceptable(found, self)) {
            app = found;
            return true;
        }
    }
    return false;
}
