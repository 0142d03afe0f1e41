// The helper command's reading of "alias.ini": one pass over the file's lines that keeps the
// key lines of one alias's section and of the reserved section "alias" and passes over every
// other line after a look at its first and last bytes. Its answers are those of the full model
// (TExtIniFile) for every file: the same lines, headers and lookups, a repeated header
// continuing its section, the first line of a key winning. No sort key or locale call is made
// for a line it passes over, and none for a header or key of printable ASCII alone.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TKeyLine {
    std::string Key;   // trimmed
    std::string Value; // without trailing blanks
};

// One section's key lines as the full model holds them.
class TAliasSection {
  public:
    bool Found() const { return FFound; }
    // In file order; of lines whose keys are equal only the first.
    const std::vector<TKeyLine>& Keys() const { return FKeys; }
    // The value of the key line whose key equals the trimmed key; def when there is none.
    std::string ReadValue(const std::string& key, const std::string& def) const;

  private:
    void Clear() {
        FFound = false;
        FPlain = true;
        FKeys.clear();
        FSortKeys.clear();
    }
    friend bool ReadAliasSections(const std::string&, const std::string&, TAliasSection&,
                                  TAliasSection&);
    void DropRepeatedKeys(bool fast);

    bool FFound = false;
    bool FPlain = true; // every key printable ASCII, where such keys compare as bytes
    std::vector<TKeyLine> FKeys;
    std::vector<std::string> FSortKeys; // of FKeys, unless FPlain
};

// Fills own with the section named name and defaults with the reserved section "alias". False,
// with neither found, when the file is missing or cannot be read whole; while another program
// holds it for a moment (a replace in progress), the open is retried for a while.
bool ReadAliasSections(const std::string& path, const std::string& name, TAliasSection& own,
                       TAliasSection& defaults);

// ReadEnvEntry of a key line.
bool ReadEnvEntry(const TKeyLine& line, std::string& name, std::string& value);
