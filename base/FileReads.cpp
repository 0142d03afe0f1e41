// Reading a file in pieces, which only alias.exe does. These calls live in a file of their own so
// that the helper's build does not link them: it would otherwise carry them as imports.
#include "Files.h"

DWORD TPieceReader::Open(const std::wstring& path) {
    FFile.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr));
    return FFile.Valid() ? 0 : GetLastError();
}

bool TPieceReader::Size(uint64_t& size) const {
    LARGE_INTEGER whole;
    if (!GetFileSizeEx(FFile.Get(), &whole))
        return false;
    size = uint64_t(whole.QuadPart);
    return true;
}

bool TPieceReader::ReadAt(uint64_t offset, void* buffer, uint32_t count) const {
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    DWORD got = 0;
    return SetFilePointerEx(FFile.Get(), at, nullptr, FILE_BEGIN) &&
           ReadFile(FFile.Get(), buffer, count, &got, nullptr) && got == count;
}
