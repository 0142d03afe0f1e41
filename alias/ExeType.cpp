#include "ExeType.h"

#include <cstddef>
#include <cstring>

#include "Handle.h"

namespace {

// The headers' layout, as winnt.h gives it. An optional header too short to reach its data
// directories is taken for none.
const uint32_t kDosHeaderSize = sizeof(IMAGE_DOS_HEADER);
const uint32_t kNewHeaderOffset = offsetof(IMAGE_DOS_HEADER, e_lfanew);
const uint32_t kSignatureSize = sizeof(DWORD); // "PE\0\0", or "NE" and two more bytes
const uint32_t kCoffHeaderSize = sizeof(IMAGE_FILE_HEADER);
const uint32_t kOptionalHeaderSizeField = offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader);
const uint32_t kOptionalHeaderSize = sizeof(IMAGE_OPTIONAL_HEADER32);
const uint32_t kOptionalHeaderMinimum = offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);

// Reads exactly count bytes at offset from the start of the file.
TExeResult ReadAt(HANDLE file, uint32_t offset, void* buffer, uint32_t count) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                   ReadFile(file, buffer, count, &got, nullptr) && got == count
               ? erOk
               : erReadError;
}

TExeResult ReadExeType(HANDLE file, TExeType& kind) {
    kind = etUnknown;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return erReadError;
    unsigned char dos[kDosHeaderSize], coff[kCoffHeaderSize], opt[kOptionalHeaderSize];
    bool failed = false;
    // A header is read when the file holds it all: a shorter file is no such program, no error.
    // In 64 bits: e_lfanew may lie near 0xFFFFFFFF, where a 32-bit sum would wrap.
    auto read = [&](uint64_t offset, unsigned char* buffer, uint32_t count) {
        if (uint64_t(size.QuadPart) < offset + count)
            return false;
        failed = ReadAt(file, uint32_t(offset), buffer, count) != erOk;
        return !failed;
    };
    const auto result = [&] { return failed ? erReadError : erOk; };
    if (!read(0, dos, 2) || dos[0] != 'M' || dos[1] != 'Z' || !read(2, dos + 2, kDosHeaderSize - 2))
        return result();
    const uint64_t lfanew = TBytes{dos, sizeof dos}.U32(kNewHeaderOffset);
    if (lfanew == 0) {
        kind = etDos;
        return erOk;
    }
    // The signature goes into the DOS header's buffer.
    if (!read(lfanew, dos, kSignatureSize))
        return result();
    if (dos[0] == 'N' && dos[1] == 'E') {
        kind = etWin16;
        return erOk;
    }
    if (memcmp(dos, "PE\0\0", kSignatureSize) != 0 ||
        !read(lfanew + kSignatureSize, coff, kCoffHeaderSize) ||
        TBytes{coff, sizeof coff}.U16(kOptionalHeaderSizeField) < kOptionalHeaderMinimum ||
        !read(lfanew + kSignatureSize + kCoffHeaderSize, opt, kOptionalHeaderSize))
        return result();
    const uint32_t subsystem = TBytes{opt, sizeof opt}.U16(kSubsystemField);
    kind = subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI ? etWinGui
           : subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI || subsystem == IMAGE_SUBSYSTEM_POSIX_CUI
               ? etWinConsole
               : etUnknown;
    return erOk;
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
