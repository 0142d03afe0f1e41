// The helper's reading of "alias.ini": one pass that keeps one alias's section and the reserved
// one and passes over every other line after a look at its first bytes. Its answers are the
// model's (TExtIniFile) for every file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Encoding.h"
#include "Files.h"
#include "IniSyntax.h"

class TAliasSection {
  public:
    bool Found() const { return FFound; }
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // Every key line, in file order, repeated keys too (EnvEntries keeps the first).
    const std::vector<TKeyLine>& KeyLines() const { return FKeys; }
    TTextEncoding Encoding() const { return FEncoding; }

  private:
    friend bool ReadAliasSections(const std::string&, const std::string&, TAliasSection&,
                                  TAliasSection&, TLoadResult*);

    bool FFound = false;
    TTextEncoding FEncoding = teCp932;
    std::vector<TKeyLine> FKeys; // every key line, in file order
};

// False, neither found, when the file is missing or cannot be read (OpenWholeFile); loaded tells
// which.
bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults, TLoadResult* loaded = nullptr);
