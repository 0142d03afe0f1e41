// Listing a folder. Only alias.exe lists folders: the helper's build leaves it out, so the
// listing's system calls are no imports of every helper command.
#include "Encoding.h"
#include "Files.h"
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
