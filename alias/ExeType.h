// Tells from a program file's headers what kind of executable it is.
#pragma once

#include <windows.h>

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
