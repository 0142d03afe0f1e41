// Text read a machine word (4 or 8 bytes) at a time, for the scans whose cost must grow with the
// bytes alone: the encoding rule and the search for a line's first byte. What each saves is in
// docs/benchmarks.md, "A helper's start against the size of alias.ini".
//
// The trick: in a word of bytes, (w - kLowBits) & ~w & kHighBits sets the top bit of each byte that
// is zero, and of the first such byte exactly (a later byte can be marked by the borrow of an
// earlier one, never an earlier by a later). A byte equal to c is a zero byte of w ^ (c *
// kLowBits); a byte of 0x80 or more has its top bit in w & kHighBits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using TWord = uintptr_t;
// 0x0101...01 and 0x8080...80: the lowest and the top bit of every byte of a word.
constexpr TWord kLowBits = TWord(-1) / 0xFF;
constexpr TWord kHighBits = kLowBits << 7;

// The word at p, wherever p is aligned.
inline TWord WordAt(const char* p) {
    TWord w;
    memcpy(&w, p, sizeof w);
    return w;
}
// The top bit of each byte of w that is zero; the first one is exact.
inline TWord ZeroBytes(TWord w) {
    return (w - kLowBits) & ~w & kHighBits;
}
// The index of the first byte whose top bit marks sets (marks not zero); Windows is little-endian,
// so the first byte is the lowest.
inline size_t FirstMarkedByte(TWord marks) {
    return size_t(sizeof marks == 8 ? __builtin_ctzll(marks) : __builtin_ctz(unsigned(marks))) / 8;
}
