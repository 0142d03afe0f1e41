// Numbers as text, and the one hash of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// In the base (2 to 16), upper case; a template, so 32-bit values are divided as 32-bit numbers.
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

// FNV-1a: good enough for tables and for names.
uint64_t HashBytes(const char* data, size_t size);
inline uint64_t HashBytes(const std::string& text) {
    return HashBytes(text.data(), text.size());
}
