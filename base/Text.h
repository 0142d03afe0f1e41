// base/: what both programs use and that knows nothing of aliases. This header: byte-string
// rules for text in code page 932 or UTF-8 (the double-byte step, blanks, searches, the
// locale's comparisons, file-name keys), shared by both programs.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "Encoding.h"

// The double-byte rule of code page 932: a lead byte followed by a trail byte is one
// character, and its second byte is never taken for "\", "/", "." or a match start.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// The number of bytes of the character that starts at byte i of s; every walk through a text
// steps with it. In code page 932, 1 or 2 by the double-byte rule. In UTF-8 1: no byte of a
// longer sequence is an ASCII byte, so every ASCII byte is a character of its own and a walk
// for ASCII characters never splits or swallows one.
inline size_t CharLength(const std::string& s, size_t i, TTextEncoding encoding = teCp932) {
    return encoding == teCp932 && i + 1 < s.size() && IsLeadByte(s[i]) && IsTrailByte(s[i + 1]) ? 2
                                                                                                : 1;
}
// A blank is any byte (or UTF-16 unit) from 0x00 to 0x20.
template <class C> bool IsBlank(C c) {
    return static_cast<std::make_unsigned_t<C>>(c) <= 0x20;
}

// The pieces joined into one text. Texts are built this way rather than with a chain of "+",
// each of which is code of its own in every helper command.
std::string Join(std::initializer_list<std::string_view> pieces);
std::wstring Join(std::initializer_list<std::wstring_view> pieces);

std::string TrimBlanks(const std::string& s);
std::wstring TrimBlanks(const std::wstring& s);
// Each control byte (0x00 to 0x1F) from begin to end made a space, as a message shows it: no
// message carries one, whatever a name in it holds (no character of code page 932 or UTF-8 has
// such a byte inside it). keep, a line break the message puts in itself, stays.
inline void BlankControls(char* begin, char* end, char keep = ' ') {
    for (; begin < end; ++begin)
        if (IsBlank(*begin) && *begin != keep)
            *begin = ' ';
}
std::string TrimLeftBlanks(const std::string& s);
std::string TrimRightBlanks(const std::string& s);

// The walks below step through text in its encoding (CharLength).
// 1-based position of sub in s on a character boundary, or 0.
size_t MbcsPos(const std::string& sub, const std::string& s, TTextEncoding encoding = teCp932);
// 1-based position of the last byte of text that is one of the single-byte characters in set,
// scanning character by character; 0 when there is none.
size_t LastCharPos(const std::string& set, const std::string& text,
                   TTextEncoding encoding = teCp932);
// ASCII A-Z made lower case; second bytes of double-byte characters are left alone.
std::string LowerAscii(const std::string& text, TTextEncoding encoding = teCp932);

// Printable ASCII: bytes 0x20 to 0x7E only.
bool IsPlainAscii(const char* text, size_t size);
inline bool IsPlainAscii(const std::string& text) {
    return IsPlainAscii(text.data(), text.size());
}
// Whether CompareStringA with this locale finds two printable-ASCII texts equal exactly when
// their bytes are equal, and with NORM_IGNORECASE exactly when they are equal after ASCII case
// folding. The tests prove it for every locale this is true for.
bool PlainAsciiComparesAsBytes(unsigned long locale);
inline char LowerAsciiChar(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
// Equal but for the case of ASCII letters, byte by byte (for printable ASCII).
bool EqualAsciiNoCase(const std::string& a, const std::string& b);

// CompareString with the user's default locale on the texts in their encoding (CompareStringA
// for code page 932, CompareStringW on the decoded UTF-8); 0 when equal, -1/+1 otherwise, -2
// when the call failed. Both end at their first NUL, as the call sees them zero-terminated.
int CompareLocale(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
int CompareLocaleNoCase(const std::string& a, const std::string& b);
// The LCMapString sort key of text up to its first NUL (user's default locale; NORM_IGNORECASE
// when ignoreCase). Two texts have equal keys exactly when CompareLocale finds them equal.
std::string LocaleSortKey(const std::string& text, bool ignoreCase,
                          TTextEncoding encoding = teCp932);
// A file name or path folded as the file system folds names to compare them: each UTF-16 unit
// upper-cased on its own, without regard to locale (a pair of surrogates is left as it is). The
// one case-folding of file names: section names, the definition lock's name and the folders
// alias /check lists all use it.
std::wstring FoldFileName(std::wstring name);
// What a name is as part of a file name: its text up to its first NUL (where an ANSI file call
// ends it) in UTF-16, converted exactly (what is no text in the encoding as code page 932, as
// the helper reads it), folded (FoldFileName). Two names name one file exactly when their keys
// are equal, whatever encoding each was in; bytes that are no text at all equal only the same
// bytes; a name of printable ASCII alone keeps its bytes, upper-cased (no other character
// upper-cases into printable ASCII).
std::string FileNameKey(const std::string& name, TTextEncoding encoding = teCp932);
