// store/: the definition file "alias.ini" and nothing else. This header: its editing model, a
// preamble, then sections of lines in file order. Every line is kept (comments and blank lines
// too), once, as the text a save writes back in its place; the file's bytes go once it is built.
//
// Hand edits keep their meaning: a repeated header continues its section (saved under the first
// header, so a key's first line still wins), an empty header "[]" opens a nameless section no
// lookup finds, saved where it stood, and a UTF-8 mark is kept and written back. What a write
// could not write back it refuses.
//
// Section names are helper file names: two match when they name one file (SameSectionName); keys
// match case-sensitively by the locale (SameKey). Sections are found by a hash of their names'
// file-name keys, the keys of a long section by their sort keys, so a load stays linear.
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

    // The line as a save writes it: "key=value", or a plain line as it stood.
    const std::string& Text() const { return FText; }
    std::string Key() const { return FText.substr(0, FKeyLength); }
    std::string Value() const { return FKeyLength ? FText.substr(FKeyLength + 1) : FText; }
    TExtIniItem* Next() const { return FNext; }

  private:
    friend class TExtIniSection;
    TExtIniItem() = default;
    // key trimmed, value without trailing blanks; an empty key makes a plain line.
    void Set(const std::string& key, const std::string& value);

    std::string FText;
    uint32_t FKeyLength = 0; // 0 for a plain line
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
    // The next named section in file order.
    TExtIniSection* Next() const;

    // The first key line of the trimmed key; none for an empty key, so plain lines are never found.
    TExtIniItem* FindItem(const std::string& key) const;
    std::string ReadValue(const std::string& key, const std::string& def) const;

    // Sets the value in place, or appends a key line (a plain line for an empty key). False,
    // changing nothing, when the line is not IsWritableLine.
    bool WriteValue(const std::string& key, const std::string& value);
    // Removes the key's line and the blank lines that then end the section (a load would drop
    // them, and a second save would differ).
    bool DeleteKey(const std::string& key);
    // Appends the header (none for the preamble), each line and one empty line, in CR LF.
    void WriteTo(std::string& out) const;

  private:
    friend class TExtIniFile;
    TExtIniSection(TExtIniFile* file, const std::string& name) : FFile(file), FName(name) {}

    TExtIniItem* AppendItem(const std::string& key, const std::string& value);
    void RemoveItem(TExtIniItem* item);
    // One loaded line; false when it was dropped as a repeated key.
    bool AddLine(const std::string& line);
    void TrimTrailingBlankLines();
    void Clear();
    template <class Sink> void Emit(Sink& sink) const;
    // Called before each change: the first keeps the section's text as it was.
    void Touch();

    TExtIniFile* FFile; // told of every change
    std::string FName;
    int32_t FKeyLines = 0;
    TExtIniItem* FFirst = nullptr;
    TExtIniItem* FLast = nullptr;
    TExtIniItem* FLastText = nullptr; // the last line that is not empty
    TExtIniSection* FNextInFile = nullptr;
    bool FNameless = false; // opened by "[]"
    // Sort key -> key line, once the section has many key lines (a walk costs less than the sort
    // keys of a short one).
    std::unique_ptr<std::unordered_map<std::string, TExtIniItem*>> FKeyIndex;
    // The text before the first change since the load; none while unchanged.
    std::unique_ptr<std::string> FTextBefore;
};

class TExtIniFile {
  public:
    TExtIniFile() = default;
    ~TExtIniFile();
    TExtIniFile(const TExtIniFile&) = delete;
    TExtIniFile& operator=(const TExtIniFile&) = delete;

    // Parses the file into the model, adding to what it holds. Anything but lrLoaded leaves the
    // model as it was, but lrOutOfMemory (memory ran out as it grew) empties it.
    TLoadResult Load(const std::string& path);
    bool LoadFromFile(const std::string& path) { return Load(path) == lrLoaded; }
    // The section of the trimmed name, appended when missing; none for an empty name or a new one
    // no header could carry (IsWritableName).
    TExtIniSection* AddSection(const std::string& name);
    // The named section whose trimmed name matches; never the preamble.
    TExtIniSection* FindSection(const std::string& name) const;
    TExtIniSection* FirstSection() const;
    const std::string& FileName() const { return FFileName; }

    // The file's encoding as the last load decided it (TEncodingRule; code page 932 for a new
    // model). The model keeps the file's bytes, read in it, and a save writes them back as they
    // are, with the mark if there was one.
    TTextEncoding Encoding() const { return FEncoding; }
    // False for a UTF-8 mark before bytes that are no UTF-8: a save would spread the damage.
    bool EncodingValid() const { return FEncodingValid; }
    // What a save would write reads back in the model's encoding: code page 932 text that happens
    // to be UTF-8 throughout (runs of half-width katakana) would not, and Save refuses it.
    bool KeepsEncoding() const;
    // What a save would write loads as this file: it must not start with a UTF-16 mark, nor, with
    // no mark of its own, with the bytes of a UTF-8 one (a dropped lone CR can make either).
    bool ReadsBackAsItself() const;
    // Edits since the load changed what a save would write (a value set to what it was, or set and
    // set back, does not; a section added or deleted always does).
    bool Modified() const;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& def) const;

    // Editing: whether the write was stored. Nothing changes for an empty section name, a missing
    // section or key, or what a save could not write back.
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes the named section whose untrimmed name matches.
    bool DeleteSection(const std::string& name);

    // The whole file's bytes: the mark when it had one, the preamble, every section in file order.
    void WriteTo(std::string& out) const;
    // Writes the model as it is made, never held whole, to a new file that then replaces path in
    // one step (SaveTextToFile).
    bool SaveToFile(const std::string& path) const;
    // SaveToFile(FileName()) after a load, of text that KeepsEncoding and ReadsBackAsItself.
    bool Save() const;

  private:
    friend class TExtIniSection;
    TExtIniSection* AppendSection(const std::string& name, bool nameless);
    // The section of the trimmed, non-empty name, appended when missing.
    TExtIniSection* TakeSection(const std::string& n);
    void Clear();
    void TrimTrailingBlankLines();
    template <class Sink> void Emit(Sink& sink) const;

    std::string FFileName;
    bool FHasUtf8Bom = false;
    TTextEncoding FEncoding = teCp932;
    bool FEncodingValid = true;
    bool FModified = false;                // a section was added or deleted
    std::vector<TExtIniSection*> FTouched; // the sections with a text before
    TExtIniSection FPreamble{this, std::string()};
    // Every section but the preamble, named and nameless, in file order; owns them.
    TExtIniSection* FFirstInFile = nullptr;
    TExtIniSection* FLastInFile = nullptr;
    // FileNameKey of a section name -> that section.
    std::unordered_map<std::string, TExtIniSection*> FSectionIndex;
};

// Replaces the file at path with the bytes: they go to a temporary file beside it, flushed to the
// disk, which then replaces it in one step, so a failure leaves the old file exactly as it was.
// Leftovers of earlier replaces that were killed go first. False on any failure, a read-only
// target or a folder of that name included.
bool SaveTextToFile(const std::string& path, const char* data, size_t size);
bool SaveTextToFile(const std::string& path, const std::string& text);
