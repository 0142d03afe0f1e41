// Tells from a program file's headers what kind of executable it is.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

enum TExeType : int32_t {
    etUnknown = 0,    // not recognised (also what a failed read leaves)
    etDos = 1,        // "MZ" with new-header offset 0
    etWin16 = 2,      // "NE" new header
    etWinGui = 3,     // PE, Windows GUI subsystem
    etWinConsole = 4, // PE, Windows or POSIX console subsystem
};

// Outcome of a detection.
enum TExeResult : int32_t {
    erOk = 0,        // headers read as far as needed; kind is valid (maybe etUnknown)
    erNotFound = 1,  // the file does not exist
    erReadError = 3, // opening failed for another reason, or a positioned read failed
};

TExeResult GetExeType(const std::wstring& path, TExeType& kind);

// A program file's bytes, read little-endian; past the end reads as 0, which no header field
// followed here may be.
struct TBytes {
    const unsigned char* Data;
    uint64_t Size;
    uint32_t U16(uint64_t at) const { return at + 2 <= Size ? Data[at] | Data[at + 1] << 8 : 0; }
    uint32_t U32(uint64_t at) const { return U16(at) | U16(at + 2) << 16; }
};
// Where the subsystem (windowed or console) stands in an optional header, PE32 and PE32+ alike.
constexpr uint32_t kSubsystemField = offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem);
