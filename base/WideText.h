// The one crossing between the code page 932 bytes of "alias.ini" and the console, and the
// UTF-16 of the system's wide calls. A conversion is exact or it fails: no character is ever
// replaced by a look-alike ("best fit"), which could turn a caller's text into a quote or a
// path separator.
#pragma once

#include <string>

// Code page 932 bytes as UTF-16; false when they are no valid code page 932 text (a lone lead
// byte, an undefined character). NUL bytes become NUL characters.
bool WidenCp932(const std::string& bytes, std::wstring& wide);
// UTF-16 as code page 932 bytes; false when code page 932 cannot hold every character as it is
// (an accented letter, Hangul, an emoji, an unpaired surrogate).
bool NarrowCp932(const std::wstring& wide, std::string& bytes);
// The text for a message only: "?" stands for what code page 932 cannot show.
std::string ShownCp932(const std::wstring& wide);
