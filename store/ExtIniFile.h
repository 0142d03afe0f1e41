// store/: the definition file "alias.ini" and nothing else. This header: its editing model, a
// preamble and sections of lines in file order, each line kept once as the text a save writes
// back in its place (comments and blank lines too). Hand edits keep their meaning: a repeated
// header continues its section, "[]" opens a nameless one no lookup finds, a UTF-8 mark is kept.
// Sections and long sections' keys are found through hashes, so a load stays linear.
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
    TExtIniSection* Next() const; // the next named section

    // The first key line of the trimmed key (SameKey); plain lines are never found.
    TExtIniItem* FindItem(const std::string& key) const;
    std::string ReadValue(const std::string& key, const std::string& def) const;
    // Every key line in file order (a load has kept one of each key).
    std::vector<TKeyLine> KeyLines() const;

    // In place, or a line appended (a plain line for an empty key); false for no IsWritableLine.
    bool WriteValue(const std::string& key, const std::string& value);
    // With the blank lines that then end the section: a load would drop them.
    bool DeleteKey(const std::string& key);
    // The header (none for the preamble), each line and one empty line, in CR LF.
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
    // Sort key -> key line, once there are many (a walk costs less than a short one's sort keys).
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

    // Adds the file to the model; anything but lrLoaded leaves it as it was, but lrOutOfMemory
    // (memory ran out as it grew) empties it.
    TLoadResult Load(const std::string& path);
    bool LoadFromFile(const std::string& path) { return Load(path) == lrLoaded; }
    // Appended when missing; none for an empty name or a new one no header can carry.
    TExtIniSection* AddSection(const std::string& name);
    // Of the trimmed name (SameSectionName); never the preamble.
    TExtIniSection* FindSection(const std::string& name) const;
    TExtIniSection* FirstSection() const;
    const std::string& FileName() const { return FFileName; }

    // As the last load decided it (TEncodingRule): the bytes are kept and written back as they are.
    TTextEncoding Encoding() const { return FEncoding; }
    // False for a UTF-8 mark before bytes that are no UTF-8: a save would spread the damage.
    bool EncodingValid() const { return FEncodingValid; }
    // What a save writes reads back in this encoding (code page 932 text can happen to be UTF-8).
    bool KeepsEncoding() const;
    // What a save writes starts with no UTF-16 mark, nor a UTF-8 one the file did not have (a
    // dropped lone CR can make either).
    bool ReadsBackAsItself() const;
    // What a save writes changed since the load (a section added or deleted always counts).
    bool Modified() const;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& def) const;

    // Whether the write was stored; never what a save could not write back.
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& name);

    void WriteTo(std::string& out) const;
    // As ReplaceWholeFile does, the text written as it is made, never held whole.
    bool SaveToFile(const std::string& path) const;
    // SaveToFile(FileName()) after a load, of text that KeepsEncoding and ReadsBackAsItself.
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
    std::vector<TExtIniSection*> FTouched; // the sections with a text before
    TExtIniSection FPreamble{this, std::string()};
    // Every section but the preamble, named and nameless, in file order; owns them.
    TExtIniSection* FFirstInFile = nullptr;
    TExtIniSection* FLastInFile = nullptr;
    // FileNameKey of a section name -> that section.
    std::unordered_map<std::string, TExtIniSection*> FSectionIndex;
};
