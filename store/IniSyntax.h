// The syntax of "alias.ini", line by line, applied to bytes in the file's encoding. The characters
// of the syntax ("[", "]", "=", ";") are ASCII in both encodings. The model and the helper's
// reading both read the file by these rules and no others, so that they always agree.
#pragma once

#include <string>

#include "Encoding.h"

// Whether the line, once trimmed, is "[" ... "]", where the "]" must be a character of its own and
// not the second byte of a double-byte character. name gets the text between the brackets,
// trimmed.
bool IsSectionHeader(const std::string& line, std::string& name, TTextEncoding encoding = teCp932);
// Splits a line at its first "=" into a trimmed key and a value without trailing blanks. A line
// with no "=", with nothing before it, or starting with ";" (a comment) gets an empty key, and
// value gets the whole line.
void SplitKeyLine(const std::string& line, std::string& key, std::string& value,
                  TTextEncoding encoding = teCp932);
// Whether a header line can carry the name: the name holds no line break, and in a UTF-8 file it
// is well-formed UTF-8.
bool IsWritableName(const std::string& name, TTextEncoding encoding);
// Whether the line that writing key and value makes would read back as the same key and value (or
// as the same plain line, for an empty key).
bool IsWritableLine(const std::string& key, const std::string& value,
                    TTextEncoding encoding = teCp932);
// Two section names name one alias exactly when "<a>.exe" and "<b>.exe" would be one file
// (FileNameKey). Windows tells the names of environment variables apart by the same rule.
bool SameSectionName(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
// Compares two keys case-sensitively in the user's locale. Keys of printable ASCII are compared as
// bytes instead, where the locale is known to give the same answer, which saves the call.
bool SameKey(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
