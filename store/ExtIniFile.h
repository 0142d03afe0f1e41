// store/ holds the definition file "alias.ini" and nothing else. This header holds its editing
// model: a preamble (the lines before the first header) and the sections, each a list of lines in
// file order. Each line is kept once, as the text that a save writes back in its place, so comments
// and blank lines survive a save too. What a person edited by hand keeps its meaning: a header
// that appears a second time continues its section, "[]" opens a nameless section that no lookup
// finds, and a UTF-8 mark at the start is kept. Sections, and the keys of long sections, are found
// through hash tables, so the time a load takes grows only in proportion to the file's size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "IniSyntax.h"
#include "TextBuffer.h"

class TExtIniFile;
class TExtIniSection;

class TExtIniItem {
  public:
    TExtIniItem(const TExtIniItem&) = delete;
    TExtIniItem& operator=(const TExtIniItem&) = delete;

    const std::string& Text() const { return FText; } // "key=value", or a plain line
    std::string Key() const { return FText.substr(0, FKeyLength); }
    std::string Value() const { return FKeyLength ? FText.substr(FKeyLength + 1) : FText; }
    TExtIniItem* Next() const { return FNext; }

  private:
    friend class TExtIniSection;
    TExtIniItem() = default;
    void Set(const std::string& key, const std::string& value);

    std::string FText;
    uint32_t FKeyLength = 0; // 0 for a plain line (a comment, a blank line, a line with no key)
    TExtIniItem* FNext = nullptr;
};

bool ReadEnvEntry(const TExtIniItem& item, std::string& name, std::string& value);

class TExtIniSection {
  public:
    ~TExtIniSection();
    TExtIniSection(const TExtIniSection&) = delete;
    TExtIniSection& operator=(const TExtIniSection&) = delete;

    const std::string& Name() const { return FName; }
    TExtIniItem* First() const { return FFirst; }
    TExtIniSection* Next() const; // the next named section; nameless ones are passed over

    // Returns the first line whose key equals the trimmed key (as SameKey compares them), or null.
    // Plain lines have no key and are never found.
    TExtIniItem* FindItem(const std::string& key) const;
    std::string ReadValue(const std::string& key, const std::string& def) const;

    // Changes the value in the key's line where it stands, or appends a new line when the key is
    // not there (a plain line when the key is empty). Returns false, and changes nothing, when the
    // line would not read back as written (IsWritableLine).
    bool WriteValue(const std::string& key, const std::string& value);
    // Removes the key's line, and with it the blank lines that then end the section, because a load
    // would drop them anyway. Returns false when there is no such key.
    bool DeleteKey(const std::string& key);
    // Writes the header (the preamble has none), each line, and one empty line after them, every
    // line ending in CR LF.
    void WriteTo(std::string& out) const;

  private:
    friend class TExtIniFile;
    TExtIniSection(TExtIniFile* file, const std::string& name) : FFile(file), FName(name) {}

    TExtIniItem* AppendItem(const std::string& key, const std::string& value);
    void RemoveItem(TExtIniItem* item);
    bool AddLine(const std::string& line);
    void TrimTrailingBlankLines();
    void Clear();
    template <class Sink> void Emit(Sink& sink) const;
    // Called before each change. The first call keeps a copy of the section's text as it was, so
    // that Modified can later tell whether the changes made any difference.
    void Touch();

    TExtIniFile* FFile; // the file this section belongs to, which is told of every change
    std::string FName;
    int32_t FKeyLines = 0;
    TExtIniItem* FFirst = nullptr;
    TExtIniItem* FLast = nullptr;
    TExtIniItem* FLastText = nullptr; // the last line that is not empty
    TExtIniSection* FNextInFile = nullptr;
    bool FNameless = false; // opened by "[]"
    // Maps the sort key of each key to its line. It is built only once the section has many key
    // lines: in a short section, walking the lines costs less than making their sort keys.
    std::unique_ptr<std::unordered_map<std::string, TExtIniItem*>> FKeyIndex;
    // The section's text as it was before its first change since the load; null while the section
    // is unchanged.
    std::unique_ptr<std::string> FTextBefore;
};

class TExtIniFile {
  public:
    TExtIniFile() = default;
    ~TExtIniFile();
    TExtIniFile(const TExtIniFile&) = delete;
    TExtIniFile& operator=(const TExtIniFile&) = delete;

    // Adds the file's lines and sections to the model. Any result but lrLoaded leaves the model as
    // it was, except lrOutOfMemory: memory ran out while the model grew, and the model is emptied.
    TLoadResult Load(const std::string& path);
    bool LoadFromFile(const std::string& path) { return Load(path) == lrLoaded; }
    // Returns the section of that name, appending it when it is missing. Returns null for an empty
    // name, and for a new name that no header line can carry (IsWritableName).
    TExtIniSection* AddSection(const std::string& name);
    // Returns the section whose name equals the trimmed name (as SameSectionName compares them),
    // or null. The preamble is never found.
    TExtIniSection* FindSection(const std::string& name) const;
    TExtIniSection* FirstSection() const;
    const std::string& FileName() const { return FFileName; }

    // The encoding as the last load decided it (TEncodingRule). The text is never converted: its
    // bytes are kept and written back as they are.
    TTextEncoding Encoding() const { return FEncoding; }
    // False when the file starts with a UTF-8 mark but the bytes after it are not all UTF-8. Such a
    // file is already damaged, and a save would only spread the damage.
    bool EncodingValid() const { return FEncodingValid; }
    // Whether the text a save would write reads back in this same encoding. A change can make code
    // page 932 text that happens to be well-formed UTF-8, which the next load would read as UTF-8.
    bool KeepsEncoding() const;
    // Whether the text a save would write starts with neither a UTF-16 mark nor a UTF-8 mark that
    // the file did not have. Either can appear when a lone CR, which a load drops, stood between
    // such bytes.
    bool ReadsBackAsItself() const;
    // Whether the text a save would write differs from what was loaded. A section added or deleted
    // always counts as a change.
    bool Modified() const;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& def) const;

    // Returns whether the value was stored. A line that a save could not write back so that it
    // reads the same is never stored.
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& name);

    void WriteTo(std::string& out) const;
    // Replaces the file as ReplaceWholeFile does. The text is written out piece by piece as it is
    // made, so the whole text is never held in memory at once.
    bool SaveToFile(const std::string& path) const;
    // Saves to the file that was loaded, but only when the text KeepsEncoding and
    // ReadsBackAsItself; otherwise returns false without writing anything.
    bool Save() const;

  private:
    friend class TExtIniSection;
    TExtIniSection* AppendSection(const std::string& name, bool nameless);
    TExtIniSection* TakeSection(const std::string& n);
    void Clear();
    void TrimTrailingBlankLines();
    template <class Sink> void Emit(Sink& sink) const;

    std::string FFileName;
    bool FHasUtf8Bom = false;
    TTextEncoding FEncoding = teCp932;
    bool FEncodingValid = true;
    bool FModified = false;                // a section was added or deleted
    std::vector<TExtIniSection*> FTouched; // the sections that keep a copy of their text (Touch)
    TExtIniSection FPreamble{this, std::string()};
    // Every section except the preamble, named and nameless, in file order. The file owns them
    // and deletes them.
    TExtIniSection* FFirstInFile = nullptr;
    TExtIniSection* FLastInFile = nullptr;
    // Maps the FileNameKey of each section's name to the section, so that two names that would name
    // one file find the same section.
    std::unordered_map<std::string, TExtIniSection*> FSectionIndex;
};
