// base/: what both programs use and that knows nothing of aliases. This header: byte-string rules
// for text in code page 932 or UTF-8.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "Encoding.h"

// The double-byte rule of code page 932: a second byte is never taken for "\", "/", "." or the
// start of a match.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// The step of every walk through a text: 2 for a double-byte character of code page 932, else 1
// (no byte of a longer UTF-8 sequence is ASCII).
inline size_t CharLength(const std::string& s, size_t i, TTextEncoding encoding = teCp932) {
    return encoding == teCp932 && i + 1 < s.size() && IsLeadByte(s[i]) && IsTrailByte(s[i + 1]) ? 2
                                                                                                : 1;
}
template <class C> bool IsBlank(C c) {
    return static_cast<std::make_unsigned_t<C>>(c) <= 0x20;
}

// Rather than a chain of "+", each of which is code in every helper.
std::string Join(std::initializer_list<std::string_view> pieces);
std::wstring Join(std::initializer_list<std::wstring_view> pieces);

std::string TrimBlanks(const std::string& s);
std::wstring TrimBlanks(const std::wstring& s);
std::string TrimLeftBlanks(const std::string& s);
std::string TrimRightBlanks(const std::string& s);
// Each control byte but keep made a space, as a message shows it (no character's bytes hold one).
inline void BlankControls(char* begin, char* end, char keep = ' ') {
    for (; begin < end; ++begin)
        if (IsBlank(*begin) && *begin != keep)
            *begin = ' ';
}

// These step by CharLength. MbcsPos: the 1-based position of sub in s, or 0.
size_t MbcsPos(const std::string& sub, const std::string& s, TTextEncoding encoding = teCp932);
// The 1-based position of the last single-byte character of text in set, or 0.
size_t LastCharPos(const std::string& set, const std::string& text,
                   TTextEncoding encoding = teCp932);
std::string LowerAscii(const std::string& text, TTextEncoding encoding = teCp932);
template <class C> C LowerAsciiChar(C c) {
    return c >= 'A' && c <= 'Z' ? C(c - 'A' + 'a') : c;
}

bool IsPlainAscii(const char* text, size_t size);
inline bool IsPlainAscii(const std::string& text) {
    return IsPlainAscii(text.data(), text.size());
}
// The locale compares printable ASCII as bytes (NORM_IGNORECASE: ASCII case folded).
bool PlainAsciiComparesAsBytes(unsigned long locale);

// The one comparison that folds the case of ASCII letters alone, for names the system or this
// program spells in ASCII (a switch's "on", a version key, an option's prefix); every other byte
// or character compares as it is.
template <class C>
bool StartsWithAsciiNoCase(std::basic_string_view<C> text, std::string_view asciiPrefix) {
    if (text.size() < asciiPrefix.size())
        return false;
    for (size_t i = 0; i < asciiPrefix.size(); ++i)
        if (LowerAsciiChar(text[i]) != C(LowerAsciiChar(asciiPrefix[i])))
            return false;
    return true;
}
template <class C> bool EqualAsciiNoCase(std::basic_string_view<C> a, std::basic_string_view<C> b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAsciiChar(a[i]) != LowerAsciiChar(b[i]))
            return false;
    return true;
}
inline bool EqualAsciiNoCase(const std::string& a, const std::string& b) {
    return EqualAsciiNoCase<char>(a, b);
}
inline bool EqualAsciiNoCase(const std::wstring& a, const wchar_t* b) {
    return EqualAsciiNoCase<wchar_t>(a, b);
}

// CompareString in the user's locale, each text up to its first NUL: 0 equal, -1/+1, -2 failed.
int CompareLocale(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
int CompareLocaleNoCase(const std::string& a, const std::string& b);
// Equal keys exactly where CompareLocale finds equal texts.
std::string LocaleSortKey(const std::string& text, bool ignoreCase,
                          TTextEncoding encoding = teCp932);
// The one case-folding of file names: as the file system folds, each UTF-16 unit alone, by no
// locale, surrogates kept.
std::wstring FoldFileName(std::wstring name);
// A name as part of a file name, up to its first NUL (where an ANSI call ends it), decoded as the
// helper reads it and folded: two names name one file exactly when their keys are equal.
std::string FileNameKey(const std::string& name, TTextEncoding encoding = teCp932);
