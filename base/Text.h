// base/ holds what both programs use and what knows nothing of aliases. This header holds the rules
// for texts kept as byte strings in code page 932 or UTF-8.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "Encoding.h"

// The double-byte rule of code page 932. The second byte of a double-byte character can have the
// value of an ASCII character (0x5C is "\"), so every walk through a text steps over whole
// characters: a second byte is never taken for "\" or another character of its own, nor for the
// start of a match.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// How far every walk through a text steps from byte i: 2 for a double-byte character of code page
// 932, otherwise 1. UTF-8 is walked byte by byte, which is safe because no byte of a multi-byte
// UTF-8 sequence looks like ASCII.
inline size_t CharLength(const std::string& s, size_t i, TTextEncoding encoding = teCp932) {
    return encoding == teCp932 && i + 1 < s.size() && IsLeadByte(s[i]) && IsTrailByte(s[i + 1]) ? 2
                                                                                                : 1;
}
template <class C> bool IsBlank(C c) {
    return static_cast<std::make_unsigned_t<C>>(c) <= 0x20;
}

// Joins the pieces into one string. A chain of "+" would put its own code at every call, and that
// code would end up in every helper program; one function keeps it in one place.
std::string Join(std::initializer_list<std::string_view> pieces);
std::wstring Join(std::initializer_list<std::wstring_view> pieces);

std::string TrimBlanks(const std::string& s);
std::wstring TrimBlanks(const std::wstring& s);
std::string TrimLeftBlanks(const std::string& s);
std::string TrimRightBlanks(const std::string& s);
// Turns each control byte (0x20 or below) other than `keep` into a space, so that a message shows
// the text on one line. This cannot break a character apart: no byte of a multi-byte character, in
// either encoding, is a control byte.
inline void BlankControls(char* begin, char* end, char keep = ' ') {
    for (; begin < end; ++begin)
        if (IsBlank(*begin) && *begin != keep)
            *begin = ' ';
}

// The functions below walk a text with CharLength, so they never match inside a double-byte
// character. MbcsPos returns the 1-based position of sub in s, or 0 when it is not there.
size_t MbcsPos(const std::string& sub, const std::string& s, TTextEncoding encoding = teCp932);
// Returns the 1-based position of the last single-byte character of text that is one of the
// characters in set, or 0 when there is none.
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
// Whether the locale finds two texts of printable ASCII equal exactly when their bytes are equal
// (with NORM_IGNORECASE: once ASCII letters are folded to one case). Where it does, such names can
// be compared as bytes without calling the locale.
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

// Compares two texts in the user's locale (as CompareString does), each up to its first NUL.
// Returns 0 when they are equal, -1 or +1 for their order, and -2 when the call failed.
int CompareLocale(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
int CompareLocaleNoCase(const std::string& a, const std::string& b);
// Returns a sort key for the text. Two texts get equal keys exactly when CompareLocale finds them
// equal, so a key can stand for its text in a table.
std::string LocaleSortKey(const std::string& text, bool ignoreCase,
                          TTextEncoding encoding = teCp932);
// The one case folding of file names, done the way the file system does it: each UTF-16 unit is
// upper-cased on its own, by no particular locale, and surrogates are left as they are.
std::wstring FoldFileName(std::wstring name);
// Returns a key for a name that is used as part of a file name: the name up to its first NUL
// (where an ANSI call would end it), decoded the way the helper reads it, and case-folded. Two
// names refer to the same file exactly when their keys are equal.
std::string FileNameKey(const std::string& name, TTextEncoding encoding = teCp932);
