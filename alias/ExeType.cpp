#include "ExeType.h"

#include <cstddef>
#include <cstring>

#include "Handle.h"

namespace {
// The headers' layout, as winnt.h gives it.
const uint32_t kDosHeaderSize = sizeof(IMAGE_DOS_HEADER);
const uint32_t kNewHeaderOffset = offsetof(IMAGE_DOS_HEADER, e_lfanew);
const uint32_t kCoffHeaderSize = sizeof(IMAGE_FILE_HEADER);
const uint32_t kOptionalHeaderSizeField = offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader);
const uint32_t kSignatureSize = sizeof(DWORD); // "PE\0\0", or "NE" and two more bytes
const uint32_t kOptionalHeaderStart = kSignatureSize + sizeof(IMAGE_FILE_HEADER);
const uint32_t kOptionalHeaderSize = sizeof(IMAGE_OPTIONAL_HEADER32);
// An optional header too short to reach its data directories is taken for none.
const uint32_t kOptionalHeaderMinimum = offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
const uint32_t kSubsystemField = offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem);

uint16_t Le16(const unsigned char* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
} // namespace

namespace {

// Reads exactly count bytes at offset from the start of the file.
TExeResult ReadAt(HANDLE file, uint32_t offset, void* buffer, uint32_t count) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        return erReadError;
    DWORD got = 0;
    if (!ReadFile(file, buffer, count, &got, nullptr) || got != count)
        return erReadError;
    return erOk;
}

} // namespace

static TExeResult ReadExeType(HANDLE file, TExeType& kind) {
    kind = etUnknown;
    unsigned char dos[kDosHeaderSize];
    unsigned char coff[kCoffHeaderSize];
    unsigned char opt[kOptionalHeaderSize];

    // Sizes are compared in 64 bits: e_lfanew comes from the file and may lie near 0xFFFFFFFF,
    // where a 32-bit sum would wrap and pass the test.
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file, &fileSize))
        return erReadError;
    const uint64_t size = uint64_t(fileSize.QuadPart);
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
    const uint32_t lfanew = Le32(dos + kNewHeaderOffset);
    if (lfanew == 0) {
        kind = etDos;
        return erOk;
    }
    if (size < uint64_t(lfanew) + kSignatureSize)
        return erOk;
    // The signature goes into the DOS header's buffer.
    if (ReadAt(file, lfanew, dos, kSignatureSize) != erOk)
        return erReadError;
    if (dos[0] == 'N' && dos[1] == 'E') {
        kind = etWin16;
        return erOk;
    }
    if (memcmp(dos, "PE\0\0", kSignatureSize) != 0)
        return erOk;
    if (size < uint64_t(lfanew) + kOptionalHeaderStart)
        return erOk;
    if (ReadAt(file, lfanew + kSignatureSize, coff, kCoffHeaderSize) != erOk)
        return erReadError;
    if (Le16(coff + kOptionalHeaderSizeField) < kOptionalHeaderMinimum)
        return erOk;
    if (size < uint64_t(lfanew) + kOptionalHeaderStart + kOptionalHeaderSize)
        return erOk;
    if (ReadAt(file, lfanew + kOptionalHeaderStart, opt, kOptionalHeaderSize) != erOk)
        return erReadError;
    switch (Le16(opt + kSubsystemField)) {
    case IMAGE_SUBSYSTEM_WINDOWS_GUI:
        kind = etWinGui;
        break;
    case IMAGE_SUBSYSTEM_WINDOWS_CUI:
    case IMAGE_SUBSYSTEM_POSIX_CUI:
        kind = etWinConsole;
        break;
    default:
        break;
    }
    return erOk;
}

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
