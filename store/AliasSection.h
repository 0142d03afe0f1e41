// The helper's reading of "alias.ini": one pass that keeps the key lines of one alias's section
// and the reserved section's and passes over every other line after a look at its first bytes,
// with no locale call for a line passed over nor for printable ASCII. Its answers are the model's
// (TExtIniFile) for every file: a repeated header continues its section, a key's first line wins.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Encoding.h"

struct TKeyLine {
    std::string Key;   // trimmed
    std::string Value; // without trailing blanks
};

// One section's key lines, answering as the model does.
class TAliasSection {
  public:
    bool Found() const { return FFound; }
    // The value of the first key line of the trimmed key; def when there is none.
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // The "env:" entries (ReadEnvEntry) in file order, of equal keys the first.
    std::vector<TKeyLine> EnvEntries() const;
    // The file's encoding, which its keys and values are in.
    TTextEncoding Encoding() const { return FEncoding; }

  private:
    friend bool ReadAliasSections(const std::string&, const std::string&, TAliasSection&,
                                  TAliasSection&);
    bool Same(const std::string& a, const std::string& b) const;

    bool FFound = false;
    TTextEncoding FEncoding = teCp932;
    std::vector<TKeyLine> FKeys; // every key line, in file order
};

// own gets the section named name, defaults the reserved section. False, with neither found, when
// the file is missing or cannot be read whole (OpenWholeFile).
bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults);
