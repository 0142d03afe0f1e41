// Numbers as text, and the one hash of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes value in the given base (2 to 16) with upper-case digits, at least minDigits of them. It
// is a template so that a 32-bit value is divided as a 32-bit number; widening it to 64 bits would
// call for slower 64-bit division on the 32-bit build.
template <class S, class T> S FormatNumber(T value, unsigned base, size_t minDigits = 1) {
    S text;
    do {
        const unsigned digit = unsigned(value % base);
        text.insert(text.begin(),
                    typename S::value_type(digit < 10 ? '0' + digit : 'A' - 10 + digit));
        value /= base;
    } while (value || text.size() < minDigits);
    return text;
}
inline std::string Decimal(uint32_t value) {
    return FormatNumber<std::string>(value, 10);
}

// The FNV-1a hash of bytes. It is simple and good enough to make a name from a text (such as a
// lock's name from a file's key); it is not meant to withstand collisions made on purpose.
uint64_t HashBytes(const char* data, size_t size);
inline uint64_t HashBytes(const std::string& text) {
    return HashBytes(text.data(), text.size());
}
