// Reading text a machine word (4 or 8 bytes) at a time. Two scans run over the bytes of a whole
// definition file, so their cost grows with the file: the encoding rule, and the helper's search
// for the lines that can start its section. Both use the trick below to look at a word per step
// instead of a byte per step.
//
// The trick: treat a word as a row of bytes. (w - kLowBits) & ~w & kHighBits sets the top bit of
// every byte of w that is zero. It is exact for the first zero byte; a later byte may be marked
// falsely by the borrow from an earlier zero byte, but an earlier byte is never marked by a later
// one, so the first mark is always right. To find a byte equal to c, xor w with c copied into every
// byte (c * kLowBits): the bytes equal to c become zero. A byte of 0x80 or more (not ASCII) shows
// as its top bit in w & kHighBits.
//
// What this saves is measured in docs/benchmarks.md, section "A helper's start against the size of
// alias.ini": the "encoding" and "line pass" columns of the helper_read_bench table, before and
// after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

using TWord = uintptr_t;
// 0x0101...01 and 0x8080...80: a word with the lowest bit, and one with the top bit, set in every
// byte.
constexpr TWord kLowBits = TWord(-1) / 0xFF;
constexpr TWord kHighBits = kLowBits << 7;

// Reads the word that starts at p. memcpy makes this safe however p is aligned.
inline TWord WordAt(const char* p) {
    TWord w;
    memcpy(&w, p, sizeof w);
    return w;
}
// Marks each zero byte of w with its top bit. Only the first mark is sure to be exact (see above),
// which is all the callers use.
inline TWord ZeroBytes(TWord w) {
    return (w - kLowBits) & ~w & kHighBits;
}
// Returns the index of the first byte that has its top bit set in marks, which must not be zero.
// Windows runs little-endian, so the first byte in memory is the lowest one in the word.
inline size_t FirstMarkedByte(TWord marks) {
    return size_t(sizeof marks == 8 ? __builtin_ctzll(marks) : __builtin_ctz(unsigned(marks))) / 8;
}
