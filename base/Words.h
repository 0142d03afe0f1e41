// Text read a machine word at a time, for the scans that must cost what the bytes cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// However aligned.
inline uintptr_t WordAt(const char* p) {
    uintptr_t w;
    memcpy(&w, p, sizeof w);
    return w;
}
// The first byte marked by its top bit in marks (not zero); Windows is little-endian.
inline size_t FirstMarkedByte(uintptr_t marks) {
    return size_t(sizeof marks == 8 ? __builtin_ctzll(marks) : __builtin_ctz(unsigned(marks))) / 8;
}
