// The one reader of program images. It tells what kind of program a file is from its headers,
// which it reads in pieces, and whether a file's bytes carry the helper's version resource. The
// offsets and fields come from winnt.h's structures and serve PE32 and PE32+ images alike.
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

// Reads what kind of program the file at path is. When error is given, it receives the system's
// error for erReadError, and 0 for any other result.
TExeResult GetExeType(const std::wstring& path, TExeType& kind, DWORD* error = nullptr);

// A program image's bytes (a whole file), with its fields read little-endian. A field that lies
// past the end reads as 0, a value that none of the fields followed here may have, so a file cut
// short fails the checks instead of being read beyond its end.
struct TImageBytes {
    const unsigned char* Data;
    uint64_t Size;
    uint32_t U16(uint64_t at) const { return at + 2 <= Size ? Data[at] | Data[at + 1] << 8 : 0; }
    uint32_t U32(uint64_t at) const { return U16(at) | U16(at + 2) << 16; }
};

// Whether the image carries the helper's version resource: "Tovimar" in LegalCopyright and "orvex"
// as InternalName, in the "041104b0" string table. whole tells whether every section's bytes are
// in the file (a copy cut short lacks some); windowed tells whether the image's subsystem is the
// windowed one.
bool HasOrvexVersion(const TImageBytes& image, bool& whole, bool& windowed);
