#include "ProgramPaths.h"

#include <windows.h>

#include "Handle.h"
#include "TextUtils.h"

std::string ModuleFilePath() {
    // MAX_PATH is only the common case; grow while the name is cut off.
    std::string buf(MAX_PATH + 1, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &buf[0], DWORD(buf.size()));
        if (n == 0)
            return std::string();
        if (n < buf.size() || buf.size() >= 0x10000) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

std::string DirectoryPart(const std::string& path) {
    return path.substr(0, LastCharPos("\\/", path));
}

std::string WindowsDirectory() {
    std::string buf(MAX_PATH, '\0');
    UINT n = GetWindowsDirectoryA(&buf[0], UINT(buf.size()));
    if (n >= buf.size()) { // too small: n is the size it needs
        buf.assign(n + 1, '\0');
        n = GetWindowsDirectoryA(&buf[0], UINT(buf.size()));
        if (n >= buf.size())
            n = 0;
    }
    if (n == 0)
        return std::string();
    buf.resize(n);
    if (LastCharPos("\\", buf) != buf.size())
        buf += '\\';
    return buf;
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

namespace {

// SearchPathA for name in pathList (nullptr: the system's default order); the buffer grows to
// the size a long result needs.
bool SearchIn(const char* pathList, const std::string& name, std::string& found) {
    std::string buf(261, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        char* filePart = nullptr;
        DWORD n =
            SearchPathA(pathList, name.c_str(), nullptr, DWORD(buf.size()), &buf[0], &filePart);
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

bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access asked: a running program file opens this way too.
    TFileHandle f(CreateFileA(path.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return f.Valid() && GetFileInformationByHandle(f.Get(), &info);
}

} // namespace

std::string EnvironmentValue(const char* name) {
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    std::string value(n, '\0');
    if (n == 0 || GetEnvironmentVariableA(name, &value[0], n) != n - 1)
        return std::string();
    value.resize(n - 1);
    return value;
}

bool SearchProgramFile(const std::string& name, std::string& found) {
    return SearchIn(nullptr, name, found);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    if (CompareLocaleNoCase(a, b) == 0)
        return true;
    BY_HANDLE_FILE_INFORMATION x, y;
    return FileIdentity(a, x) && FileIdentity(b, y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

bool SearchProgramFileExcept(const std::string& name, const std::string& self, std::string& found) {
    if (!SearchProgramFile(name, found))
        return false;
    if (!IsSameFile(found, self))
        return true;
    // The default order once more without the program's own folder, which comes first in it
    // and may also be the working directory or stand on PATH.
    std::string own = DirectoryPart(self);
    if (own.size() > 3) // "C:\" stays a root
        own.pop_back();
    std::string list;
    auto add = [&](std::string folder) {
        folder = TrimBlanks(folder);
        if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
            folder = folder.substr(1, folder.size() - 2);
        if (!folder.empty() && !IsSameFile(folder, own))
            list += folder + ";";
    };
    char buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    if (n > 0 && n < sizeof buf)
        add(std::string(buf, n));
    n = GetSystemDirectoryA(buf, sizeof buf);
    if (n > 0 && n < sizeof buf)
        add(std::string(buf, n));
    const std::string win = WindowsDirectory();
    if (!win.empty()) {
        add(win + "System");
        add(win);
    }
    const std::string path = EnvironmentValue("PATH");
    for (size_t start = 0; start <= path.size();) {
        size_t semi = path.find(';', start);
        if (semi == std::string::npos)
            semi = path.size();
        add(path.substr(start, semi - start));
        start = semi + 1;
    }
    // Folder by folder: a hard link to the helper in one of them is passed over like the helper.
    for (size_t start = 0; start < list.size();) {
        const size_t semi = list.find(';', start);
        const std::string folder = list.substr(start, semi - start);
        std::string next;
        if (SearchIn(folder.c_str(), name, next) && !IsSameFile(next, self)) {
            found = next;
            return true;
        }
        start = semi + 1;
    }
    return false;
}
