// The syntax of "alias.ini", line by line, in the file's encoding (code page 932 or UTF-8: the
// characters that the syntax uses are ASCII in both, and are found as characters of their own):
// what is a header, what is a key line and how it splits, which key lines and env: entries mean
// what, which names and keys are the same, and which lines a save can write back. The editing model
// and the helper's one-pass reading both read the file by these rules alone.
#pragma once

#include <string>

#include "Encoding.h"

// A line whose trimmed form is "[" ... "]", the "]" a character of its own (not the second byte
// of a double-byte one); name gets the trimmed inside, which may be empty. name is left alone
// when the line is no header.
bool IsSectionHeader(const std::string& line, std::string& name, TTextEncoding encoding = teCp932);
// Splits a line into a trimmed key and a value without trailing blanks at its first "=" (a
// character of its own); a line that is not a key line (no "=", nothing before it, or a ";"
// first) gives an empty key and the line unchanged as value.
void SplitKeyLine(const std::string& line, std::string& key, std::string& value,
                  TTextEncoding encoding = teCp932);
// Whether a header can carry the name: no CR or LF, and in a UTF-8 file UTF-8 alone (what a
// UTF-8 file holds that is no UTF-8 reads back as code page 932).
bool IsWritableName(const std::string& name, TTextEncoding encoding);
// Whether the line a write of key and value makes reads back from a saved file as that very
// line: no CR or LF, no header, a key without "=" that does not start with ";", for a plain line
// (empty key) some text that is not itself a key line, and in a UTF-8 file UTF-8 alone.
bool IsWritableLine(const std::string& key, const std::string& value,
                    TTextEncoding encoding = teCp932);
// Two section names name one alias exactly when "<a>.exe" and "<b>.exe" are one file: their
// FileNameKey is equal (ASCII letters in any case; never two characters that the locale's sort
// rules alone take for equal, such as a half-width and a full-width mark or a repeat mark and
// the character it repeats). Printable ASCII is compared without a system call.
bool SameSectionName(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
// Keys compare case-sensitively by the locale: CompareLocale(a, b) == 0, without the locale
// call for printable-ASCII texts where that is proven the same.
bool SameKey(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
