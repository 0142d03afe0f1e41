// The syntax of "alias.ini", line by line, in the file's encoding (its characters are ASCII in
// both): the model and the helper's reading read the file by these rules alone.
#pragma once

#include <string>

#include "Encoding.h"

// A key line as read: its key and its value.
struct TKeyLine {
    std::string Key;   // trimmed
    std::string Value; // without trailing blanks
};

// "[" ... "]" trimmed, the "]" a character of its own; name gets the trimmed inside.
bool IsSectionHeader(const std::string& line, std::string& name, TTextEncoding encoding = teCp932);
// At the first "="; a line with none, nothing before it or ";" first has an empty key.
void SplitKeyLine(const std::string& line, std::string& key, std::string& value,
                  TTextEncoding encoding = teCp932);
// A header can carry it: no line break, and in a UTF-8 file UTF-8 alone.
bool IsWritableName(const std::string& name, TTextEncoding encoding);
// The line a write of key and value makes reads back as that very line.
bool IsWritableLine(const std::string& key, const std::string& value,
                    TTextEncoding encoding = teCp932);
// One alias exactly when "<a>.exe" and "<b>.exe" are one file (FileNameKey); Windows knows one
// environment variable by the same rule.
bool SameSectionName(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
// Case-sensitively by the locale, printable ASCII without the call where that is the same.
bool SameKey(const std::string& a, const std::string& b, TTextEncoding encoding = teCp932);
