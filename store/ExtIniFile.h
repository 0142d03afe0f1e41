// The in-memory model of a definition file ("alias.ini"): an unnamed preamble, then named
// sections of lines, in file order. Every accepted line is kept (comments and blank lines
// included) so the file can be written back with those lines in place.
//
// Hand-edited files keep their meaning: a repeated header continues the section it names (its
// lines are saved under the first header, in file order, so the first occurrence of a key still
// wins), an empty header "[]" starts a nameless section that no lookup finds and that is saved
// where it stood, and a UTF-8 byte-order mark at the start is kept apart and written back.
// What the writing operations could not write back they refuse instead.
//
// Section names match without regard to case (CompareStringA, NORM_IGNORECASE), keys
// case-sensitively (CompareStringA, no flags), both with the user's default locale. Lookups go
// through hash indexes keyed by LCMapStringA sort keys, which are equal exactly when
// CompareStringA says equal, so loading stays linear in the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "TextBuffer.h"

class TExtIniSection;

class TExtIniItem {
  public:
    TExtIniItem() = default;
    TExtIniItem(const TExtIniItem&) = delete;
    TExtIniItem& operator=(const TExtIniItem&) = delete;

    // Splits a line into a trimmed key and a value without trailing blanks; a line that is not
    // a key line gives an empty key and the line unchanged as value.
    static void SplitLine(const std::string& line, std::string& key, std::string& value);
    // Sets Key, Value and Text; an empty (trimmed) key makes a plain line.
    void SetKeyValue(const std::string& key, const std::string& value);
    // Whether the line SetKeyValue(key, value) makes reads back from a saved file as that very
    // line: no CR or LF, no header, a key without "=" that does not start with ";", and for a
    // plain line (empty key) some text that is not itself a key line.
    static bool IsWritable(const std::string& key, const std::string& value);

    const std::string& Text() const { return FText; }
    const std::string& Key() const { return FKey; }
    const std::string& Value() const { return FValue; }
    TExtIniItem* Next() const { return FNext; }

  private:
    friend class TExtIniSection;
    std::string FText;
    std::string FKey;
    std::string FValue;
    TExtIniItem* FNext = nullptr;
    TExtIniSection* FOwner = nullptr; // whose key index SetKeyValue keeps in step
};

// An alias's "env:" entry: a key that starts with "env:" in any ASCII case. name is the rest of
// the key, trimmed, and value the item's value without trailing blanks. False for every other
// item and for an entry whose name is empty, which both programs skip.
bool ReadEnvEntry(const TExtIniItem& item, std::string& name, std::string& value);
// The same rule for a key and value read by other means (the helper's one-pass reading).
bool ReadEnvEntry(const std::string& key, const std::string& itemValue, std::string& name,
                  std::string& value);

class TExtIniSection {
  public:
    TExtIniSection() = default;
    explicit TExtIniSection(const std::string& name) : FName(name) {}
    ~TExtIniSection();
    TExtIniSection(const TExtIniSection&) = delete;
    TExtIniSection& operator=(const TExtIniSection&) = delete;

    const std::string& Name() const { return FName; }
    int32_t Count() const { return FCount; }
    TExtIniItem* First() const { return FFirst; }
    TExtIniSection* Next() const { return FNext; }

    // A new empty item at the end.
    TExtIniItem* AppendItem();
    // Unlinks and frees item when it belongs to this section; nothing otherwise.
    void RemoveItem(TExtIniItem* item);
    // The first key line whose key equals the trimmed key (case-sensitive); none for an empty
    // key, so plain lines are never found.
    TExtIniItem* FindItem(const std::string& key) const;
    TExtIniItem* LastItem() const { return FLast; }
    TExtIniItem* ItemAt(int32_t index) const;
    // Adds one loaded line; false when it was dropped as a repeated key.
    bool AddLine(const std::string& line);
    // The key's value, or def when the section has no such key.
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // Drops the empty plain lines at the end.
    void TrimTrailingBlankLines();

    // Sets the key's value in place, or appends a key line when the key is missing (a plain
    // line for an empty key). False, changing nothing, when the line is not IsWritable.
    bool WriteValue(const std::string& key, const std::string& value);
    // Removes the key's line; false when there is none.
    bool DeleteKey(const std::string& key);
    // Appends the section's lines to out: a header unless it is the preamble, each line, one
    // empty line; every line ends in CR LF.
    void WriteTo(std::string& out) const;

  private:
    friend class TExtIniItem;
    friend class TExtIniFile;
    // Keep FKeyIndex in step when an item's key is set or the item goes.
    void Index(TExtIniItem* item);
    void Unindex(TExtIniItem* item);

    std::string FName;
    int32_t FCount = 0;
    TExtIniItem* FFirst = nullptr;
    TExtIniItem* FLast = nullptr;
    TExtIniSection* FNext = nullptr;       // the next named section
    TExtIniSection* FNextInFile = nullptr; // the next section, named or nameless, in file order
    bool FNameless = false;                // opened by an empty header "[]"
    // Sort key of a key -> the first key line with that key.
    std::unordered_map<std::string, TExtIniItem*> FKeyIndex;
};

class TExtIniFile {
  public:
    TExtIniFile() = default;
    ~TExtIniFile();
    TExtIniFile(const TExtIniFile&) = delete;
    TExtIniFile& operator=(const TExtIniFile&) = delete;

    // Parses the file into the model, adding to what it holds. False when the file is missing
    // or cannot be read whole; the model is then unchanged.
    bool LoadFromFile(const std::string& path);
    // A line whose trimmed form is "[" ... "]", the "]" a character of its own (not the second
    // byte of a double-byte one); name gets the trimmed inside, which may be empty. name is left
    // alone when the line is no header.
    static bool IsSectionHeader(const std::string& line, std::string& name);
    // The section of that (trimmed) name, appended when it is missing; none for an empty name
    // or one holding CR or LF, which no header could carry.
    TExtIniSection* AddSection(const std::string& name);
    // The named section whose trimmed name matches, case-insensitively; never the preamble.
    TExtIniSection* FindSection(const std::string& name) const;
    TExtIniSection* SectionAt(int32_t index) const;
    int32_t SectionCount() const { return FSectionCount; }
    TExtIniSection* Preamble() { return &FPreamble; }
    const TExtIniSection* Preamble() const { return &FPreamble; }
    TExtIniSection* FirstSection() const { return FFirstSection; }
    TExtIniSection* LastSection() const { return FLastSection; }
    const std::string& FileName() const { return FFileName; }
    const TTextBuffer& Buffer() const { return FBuffer; }

    // Whether the file began with a UTF-8 byte-order mark, which a save writes back.
    bool HasUtf8Bom() const { return FHasUtf8Bom; }

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& def) const;
    void TrimTrailingBlankLines();

    // Editing. Each returns whether the model changed; nothing changes for an empty section
    // name, a missing section or key, or what a save could not write back (see AddSection and
    // TExtIniItem::IsWritable).
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes the named section whose name (untrimmed) matches case-insensitively.
    bool DeleteSection(const std::string& name);

    // The bytes of the whole file: the byte-order mark when the file had one, the preamble,
    // then every section, nameless ones included, in file order.
    void WriteTo(std::string& out) const;
    // Writes the whole model to path. The text goes to a temporary file in the same folder,
    // which then replaces the target in one step, so a failure leaves the old file exactly as
    // it was. False on any failure.
    bool SaveToFile(const std::string& path) const;
    // SaveToFile(FileName()) after a successful load; false, writing nothing, otherwise.
    bool Save() const;

  private:
    // Appends a section to the file order (and, when named, to the named sections).
    TExtIniSection* AppendSection(const std::string& name, bool nameless);

    TTextBuffer FBuffer;
    std::string FFileName;
    bool FHasUtf8Bom = false;
    int32_t FSectionCount = 0;
    TExtIniSection FPreamble;
    TExtIniSection* FFirstSection = nullptr;
    TExtIniSection* FLastSection = nullptr;
    // Every section but the preamble, named and nameless, in file order; owns them.
    TExtIniSection* FFirstInFile = nullptr;
    TExtIniSection* FLastInFile = nullptr;
    // Case-insensitive sort key of a section name -> that section.
    std::unordered_map<std::string, TExtIniSection*> FSectionIndex;
};

// Replaces the file at path with text in one step, as SaveToFile does (a temporary file beside
// it, left-over ones from killed saves removed first); false on any failure.
bool SaveTextToFile(const std::string& path, const std::string& text);

// LCMapStringA sort key of text up to its first NUL (user's default locale; NORM_IGNORECASE
// when ignoreCase). Two texts have equal keys exactly when CompareStringA finds them equal.
std::string LocaleSortKey(const std::string& text, bool ignoreCase);
