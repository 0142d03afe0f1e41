// Byte-string helpers for code page 932 text, shared by both programs.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The double-byte rule of code page 932: a lead byte followed by a trail byte is one
// character, and its second byte is never taken for "\", "/", "." or a match start.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// The number of bytes (1 or 2) of the character that starts at byte i of s; every walk through
// a text steps with it.
inline size_t CharLength(const std::string& s, size_t i) {
    return i + 1 < s.size() && IsLeadByte(s[i]) && IsTrailByte(s[i + 1]) ? 2 : 1;
}
// A blank is any byte from 0x00 to 0x20.
inline bool IsBlank(unsigned char b) {
    return b <= 0x20;
}

// The pieces joined into one text. Texts are built this way rather than with a chain of "+",
// each of which is code of its own in every helper command.
std::string Join(std::initializer_list<std::string_view> pieces);
std::wstring Join(std::initializer_list<std::wstring_view> pieces);

std::string TrimBlanks(const std::string& s);
std::string TrimLeftBlanks(const std::string& s);
std::string TrimRightBlanks(const std::string& s);

// 1-based position of sub in s on a character boundary, or 0.
size_t MbcsPos(const std::string& sub, const std::string& s);
// 1-based position of the last byte of text that is one of the single-byte characters in set,
// scanning character by character; 0 when there is none.
size_t LastCharPos(const std::string& set, const std::string& text);
// ASCII A-Z made lower case; second bytes of double-byte characters are left alone.
std::string LowerAscii(const std::string& text);

// CompareStringA with the user's default locale; 0 when equal, -1/+1 otherwise, -2 when the
// call failed. Both strings end at their first NUL, as the call sees them zero-terminated.
int CompareLocale(const std::string& a, const std::string& b);
int CompareLocaleNoCase(const std::string& a, const std::string& b);

// What a path names, by its attributes (a wildcard matches nothing; a drive root and a path
// ending in "\" name their folder). Paths of the program folder are code page 932, paths of
// programs and working folders UTF-16.
// Something (a file or a folder) is there.
bool FileFound(const std::string& path);
// A file, not a folder.
bool IsExistingFile(const std::string& path);
bool IsExistingFile(const std::wstring& path);
// A folder.
bool IsDirectory(const std::string& path);
bool IsDirectory(const std::wstring& path);
