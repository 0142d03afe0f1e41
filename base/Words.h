// Text read a machine word at a time, for the scans that must cost what the bytes cost (the
// encoding rule, the search for a line's start). Below every other unit of base/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The machine word at p, however aligned: the scans that take text a word at a time read it so.
inline uintptr_t WordAt(const char* p) {
    uintptr_t w;
    memcpy(&w, p, sizeof w);
    return w;
}
// Which byte of such a word is the first one marked by its top bit in marks (not zero): the
// words are little-endian, as on every Windows machine.
inline size_t FirstMarkedByte(uintptr_t marks) {
    return size_t(sizeof marks == 8 ? __builtin_ctzll(marks) : __builtin_ctz(unsigned(marks))) / 8;
}
