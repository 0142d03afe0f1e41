// What only alias.exe asks of the file system: folder listings and full paths. The helper's build
// leaves this file out, so these calls are no imports of every helper command.
#include "Encoding.h"
#include "Files.h"
#include "Grow.h"
#include "Handle.h"

std::vector<std::string> ListFolder(const std::wstring& search, uint32_t skipAttributes) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    TFindHandle find(FindFirstFileW(search.c_str(), &fd));
    if (!find.Valid())
        return names;
    std::string name;
    do {
        if (!(fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | skipAttributes)) &&
            FromWide(fd.cFileName, teCp932, name))
            names.push_back(name);
    } while (FindNextFileW(find.Get(), &fd));
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
