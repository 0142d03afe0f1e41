#include "ExeType.h"

#include <cstring>

#include "Handle.h"

namespace {
const uint32_t kDosHeaderSize = 64;
const uint32_t kCoffHeaderSize = 20;
const uint32_t kOptionalHeaderSize = 224;

uint16_t Le16(const unsigned char* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
} // namespace

TExeResult GetExeType(const std::wstring& path, TExeType& kind) {
    kind = etUnknown;
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) {
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_DIRECTORY ? erNotFound : erReadError;
    }
    return ReadExeType(file.Get(), kind);
}

TExeResult ReadAt(HANDLE file, uint32_t offset, void* buffer, uint32_t count) {
    if (SetFilePointer(file, LONG(offset), nullptr, FILE_BEGIN) != offset)
        return erReadError;
    DWORD got = 0;
    if (!ReadFile(file, buffer, count, &got, nullptr) || got != count)
        return erReadError;
    return erOk;
}

TExeResult ReadExeType(HANDLE file, TExeType& kind) {
    kind = etUnknown;
    unsigned char dos[kDosHeaderSize];
    unsigned char coff[kCoffHeaderSize];
    unsigned char opt[kOptionalHeaderSize];

    // Sizes are compared in 64 bits: e_lfanew comes from the file and may lie near 0xFFFFFFFF,
    // where a 32-bit sum would wrap and pass the test.
    const uint64_t size = GetFileSize(file, nullptr);
    if (size < 2)
        return erOk;
    if (ReadAt(file, 0, dos, 2) != erOk)
        return erReadError;
    if (dos[0] != 'M' || dos[1] != 'Z')
        return erOk;
    if (size < kDosHeaderSize)
        return erOk;
    if (ReadAt(file, 2, dos + 2, kDosHeaderSize - 2) != erOk)
        return erReadError;
    const uint32_t lfanew = Le32(dos + 0x3C);
    if (lfanew == 0) {
        kind = etDos;
        return erOk;
    }
    if (size < uint64_t(lfanew) + 4)
        return erOk;
    if (ReadAt(file, lfanew, dos, 4) != erOk) // the signature goes into the DOS-header buffer
        return erReadError;
    if (dos[0] == 'N' && dos[1] == 'E') {
        kind = etWin16;
        return erOk;
    }
    if (memcmp(dos, "PE\0\0", 4) != 0)
        return erOk;
    if (size < uint64_t(lfanew) + 24)
        return erOk;
    if (ReadAt(file, lfanew + 4, coff, kCoffHeaderSize) != erOk)
        return erReadError;
    if (Le16(coff + 16) < 96)
        return erOk;
    if (size < uint64_t(lfanew) + 24 + kOptionalHeaderSize)
        return erOk;
    if (ReadAt(file, lfanew + 24, opt, kOptionalHeaderSize) != erOk)
        return erReadError;
    switch (Le16(opt + 68)) {
    case 2:
        kind = etWinGui;
        break;
    case 3:
    case 7:
        kind = etWinConsole;
        break;
    default:
        break;
    }
    return erOk;
}
