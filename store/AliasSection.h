// The helper's reading of "alias.ini": one pass over the file that keeps only one alias's section
// and the reserved section, and passes over every other line after a look at its first bytes. For
// every file it gives the same answers as the full model (TExtIniFile) would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Encoding.h"
#include "Files.h"

struct TKeyLine {
    std::string Key;   // trimmed
    std::string Value; // without trailing blanks
};

class TAliasSection {
  public:
    bool Found() const { return FFound; }
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // The environment entries in file order; of several entries with equal keys, only the first.
    std::vector<TKeyLine> EnvEntries() const;
    TTextEncoding Encoding() const { return FEncoding; }

  private:
    friend bool ReadAliasSections(const std::string&, const std::string&, TAliasSection&,
                                  TAliasSection&, TLoadResult*);

    bool FFound = false;
    TTextEncoding FEncoding = teCp932;
    std::vector<TKeyLine> FKeys; // every key line, in file order
};

// Reads the section of the alias name and the reserved section in one pass. Returns false, with
// neither section found, when the file is missing or cannot be read (as OpenWholeFile decides);
// loaded, when given, tells which of the two happened.
bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults, TLoadResult* loaded = nullptr);
