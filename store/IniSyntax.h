// The syntax of "alias.ini", line by line, in the file's encoding (the characters it uses are
// ASCII in both, and found as characters of their own): headers, key lines, which names and keys
// are the same, which lines a save can write back. The model and the helper's one-pass reading
// read the file by these rules alone.
#pragma once

#include <string>

#include "Encoding.h"

// A line whose trimmed form is "[" ... "]", the "]" a character of its own; name gets the trimmed
// inside, maybe empty, and is left alone for no header.
bool IsSectionHeader(const std::string& line, std::string& name, TTextEncoding encoding = teCp932);
// A trimmed key and a value without trailing blanks, split at the first "="; a line with no "=",
// nothing before it, or a ";" first gives an empty key and the line as value.
void SplitKeyLine(const std::string& line, std::string& key, std::string& value,
                  TTextEncoding encoding = teCp932);
// A header can carry the name: no CR or LF, and in a UTF-8 file UTF-8 alone (anything else reads
// back as code page 932).
bool IsWritableName(const std::string& name, TTextEncoding encoding);
// The line a write of key and value makes reads back as that very line: writable as a name, no
// header, a key without "=" not starting with ";", for a plain line (empty key) text that is no
// key line.
bool IsWritableLine(const std::string& key, const std::string& value,
                    TTextEncoding encoding = teCp932);
// Two section names are one alias exactly when "<a>.exe" and "<b>.exe" are one file (FileNameKey;
// never two characters the locale's sort rules alone take for equal).
bool SameSectionName(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
// Keys compare case-sensitively by the locale (CompareLocale), printable ASCII without the call
// where that is proven the same.
bool SameKey(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
