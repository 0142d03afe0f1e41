// The helper command's reading of "alias.ini": one pass over the file's lines that keeps the
// key lines of one alias's section and of the reserved section "alias" and passes over every
// other line after a look at its first and last bytes. Its answers are those of the full model
// (TExtIniFile) for every file in one encoding: the same lines, headers and lookups, a repeated
// header continuing its section, the first line of a key winning. No sort key or locale call is
// made for a line it passes over, and none for a header or key of printable ASCII alone.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Encoding.h"

struct TKeyLine {
    std::string Key;   // trimmed
    std::string Value; // without trailing blanks
};

// One section's key lines, answering as the full model does: a key's value is its first line's,
// and of "env:" entries whose keys are equal only the first counts.
class TAliasSection {
  public:
    bool Found() const { return FFound; }
    // The value of the first key line whose key equals the trimmed key; def when there is none.
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // The "env:" entries (ReadEnvEntry) in file order, each key's first.
    std::vector<TKeyLine> EnvEntries() const;
    // The encoding its keys and values are in: the file's.
    TTextEncoding Encoding() const { return FEncoding; }

  private:
    friend bool ReadAliasSections(const std::string&, const std::string&, TAliasSection&,
                                  TAliasSection&);
    // The key sameness of the model, without the locale where bytes tell.
    bool Same(const std::string& a, const std::string& b) const;

    bool FFound = false;
    TTextEncoding FEncoding = teCp932;
    std::vector<TKeyLine> FKeys; // every key line, in file order
};

// Fills own with the section named name and defaults with the reserved section "alias". False,
// with neither found, when the file is missing or cannot be read whole; while another program
// holds it for a moment (a replace in progress), the open is retried for a while.
bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults);
