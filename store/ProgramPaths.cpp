#include "ProgramPaths.h"

#include <windows.h>

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

bool SearchProgramFile(const std::string& name, std::string& found) {
    std::string buf(261, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        char* filePart = nullptr;
        DWORD n =
            SearchPathA(nullptr, name.c_str(), nullptr, DWORD(buf.size()), &buf[0], &filePart);
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
