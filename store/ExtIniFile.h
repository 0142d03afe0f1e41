// store/: the definition file "alias.ini" and nothing else. This header: its editing model, an
// unnamed preamble, then named sections of lines, in file order. Every accepted line is kept
// (comments and blank lines included) so the file can be written back with those lines in place.
//
// Hand-edited files keep their meaning: a repeated header continues the section it names (its
// lines are saved under the first header, in file order, so the first occurrence of a key still
// wins), an empty header "[]" starts a nameless section that no lookup finds and that is saved
// where it stood, and a UTF-8 byte-order mark at the start is kept apart and written back.
// What the writing operations could not write back they refuse instead.
//
// Section names are alias names, and so the names of helper files: two match exactly when they
// name one file (SameSectionName). Keys match case-sensitively (CompareString, no flags, the
// user's default locale; SameKey). Sections are found through a hash index of their names'
// file-name keys, and the keys of a long section through one of LCMapString sort keys, which
// are equal exactly when CompareString says equal, so loading stays linear in the file's size.
//
// Each line is kept once, as the text a save writes; the file's bytes are let go once the model
// is built.
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
    // key trimmed and value without trailing blanks; an empty key makes a plain line.
    void Set(const std::string& key, const std::string& value);

    std::string FText;
    uint32_t FKeyLength = 0; // the key's bytes at the start of FText; 0 for a plain line
    TExtIniItem* FNext = nullptr;
};

// ReadEnvEntry of an item of the model.
bool ReadEnvEntry(const TExtIniItem& item, std::string& name, std::string& value);

class TExtIniSection {
  public:
    ~TExtIniSection();
    TExtIniSection(const TExtIniSection&) = delete;
    TExtIniSection& operator=(const TExtIniSection&) = delete;

    const std::string& Name() const { return FName; }
    TExtIniItem* First() const { return FFirst; }
    TExtIniSection* Next() const { return FNext; }

    // The first key line whose key equals the trimmed key (case-sensitive); none for an empty
    // key, so plain lines are never found.
    TExtIniItem* FindItem(const std::string& key) const;
    // The key's value, or def when the section has no such key.
    std::string ReadValue(const std::string& key, const std::string& def) const;

    // Sets the key's value in place, or appends a key line when the key is missing (a plain
    // line for an empty key). False, changing nothing, when the line is not IsWritable.
    bool WriteValue(const std::string& key, const std::string& value);
    // Removes the key's line, and the blank lines that then end the section (a load would drop
    // them, so a save of the saved file would differ); false when there is no such line.
    bool DeleteKey(const std::string& key);
    // Appends the section's lines to out: a header unless it is the preamble, each line, one
    // empty line; every line ends in CR LF.
    void WriteTo(std::string& out) const;

  private:
    friend class TExtIniFile;
    TExtIniSection(TExtIniFile* file, const std::string& name) : FFile(file), FName(name) {}

    TExtIniItem* AppendItem(const std::string& key, const std::string& value);
    void RemoveItem(TExtIniItem* item);
    // Adds one loaded line; false when it was dropped as a repeated key.
    bool AddLine(const std::string& line);
    // Drops the empty plain lines at the end.
    void TrimTrailingBlankLines();
    // Frees every line.
    void Clear();
    // The section's bytes as WriteTo gives them, counted or written (see TExtIniFile).
    template <class Sink> void Emit(Sink& sink) const;
    // Called before each change: the first keeps the section's text as it was.
    void Touch();

    TExtIniFile* FFile; // told of every change
    std::string FName;
    int32_t FKeyLines = 0;
    TExtIniItem* FFirst = nullptr;
    TExtIniItem* FLast = nullptr;
    TExtIniItem* FLastText = nullptr;      // the last line that is not empty
    TExtIniSection* FNext = nullptr;       // the next named section
    TExtIniSection* FNextInFile = nullptr; // the next section, named or nameless, in file order
    bool FNameless = false;                // opened by an empty header "[]"
    // Sort key of a key -> its key line, kept once the section has many key lines: a short one
    // is searched line by line, which costs less than its keys' sort keys would.
    std::unique_ptr<std::unordered_map<std::string, TExtIniItem*>> FKeyIndex;
    // The section's text before its first change since the load; none while unchanged.
    std::unique_ptr<std::string> FTextBefore;
};

class TExtIniFile {
  public:
    TExtIniFile() = default;
    ~TExtIniFile();
    TExtIniFile(const TExtIniFile&) = delete;
    TExtIniFile& operator=(const TExtIniFile&) = delete;

    // Parses the file into the model, adding to what it holds. Anything but lrLoaded leaves the
    // model as it was, except lrOutOfMemory (memory ran out while the model grew), which
    // empties it to give the memory back.
    TLoadResult Load(const std::string& path);
    bool LoadFromFile(const std::string& path) { return Load(path) == lrLoaded; }
    // The section of that (trimmed) name, appended when it is missing; none for an empty name
    // or, for a new section, one no header could carry (IsWritableName).
    TExtIniSection* AddSection(const std::string& name);
    // The named section whose trimmed name matches; never the preamble.
    TExtIniSection* FindSection(const std::string& name) const;
    TExtIniSection* FirstSection() const { return FFirstSection; }
    const std::string& FileName() const { return FFileName; }

    // The encoding of the file as the last load decided it (code page 932 for a new model): a
    // UTF-8 byte-order mark, or text that is UTF-8 throughout and holds a character of more than
    // one byte, make it UTF-8. The model keeps the file's own bytes, and every rule reads them in
    // this encoding; a save writes them back as they are, with the mark if there was one.
    TTextEncoding Encoding() const { return FEncoding; }
    // False for a file whose UTF-8 mark stands before bytes that are no UTF-8: a save would only
    // spread the damage.
    bool EncodingValid() const { return FEncodingValid; }
    // Whether what a save would write is read back in the model's encoding. Code page 932 text
    // that happens to be UTF-8 throughout (rare: runs of half-width katakana, say) would make
    // the file read as UTF-8, its non-ASCII text as other characters; Save then refuses.
    bool KeepsEncoding() const;
    // Whether what a save would write loads again as this file: it must not start with a
    // UTF-16 mark (which the programs refuse) nor, without a mark of its own, with the bytes of
    // one (which would mark the file for good). A line's bytes can make it so once a lone CR is
    // dropped; Save then refuses.
    bool ReadsBackAsItself() const;
    // Whether edits since the load have changed what a save would write: a value set to what
    // it was, a key or section deleted that was not there, or a key set and set back, change
    // nothing; a section added or deleted always does.
    bool Modified() const;

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& def) const;

    // Editing. Each returns whether the write was stored in the model; nothing changes for an
    // empty section name, a missing section or key, or what a save could not write back (see
    // AddSection and IsWritableLine).
    bool WriteValue(const std::string& section, const std::string& key, const std::string& value);
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes the named section whose name (untrimmed) matches.
    bool DeleteSection(const std::string& name);

    // The bytes of the whole file: the byte-order mark when the file had one, the preamble,
    // then every section, nameless ones included, in file order.
    void WriteTo(std::string& out) const;
    // Writes the whole model to path. The text goes to a temporary file in the same folder,
    // which then replaces the target in one step, so a failure leaves the old file exactly as
    // it was. The text is written as it is made, never held whole. False on any failure.
    bool SaveToFile(const std::string& path) const;
    // SaveToFile(FileName()) after a successful load, of text that KeepsEncoding and
    // ReadsBackAsItself; false, writing nothing, otherwise.
    bool Save() const;

  private:
    friend class TExtIniSection;
    // Appends a section to the file order (and, when named, to the named sections).
    TExtIniSection* AppendSection(const std::string& name, bool nameless);
    // The section of that trimmed, non-empty name, appended when it is missing.
    TExtIniSection* TakeSection(const std::string& n);
    // Frees every section and line.
    void Clear();
    void TrimTrailingBlankLines();
    // The bytes WriteTo gives, handed to a sink: counted, copied, or written to a file.
    template <class Sink> void Emit(Sink& sink) const;
    size_t TextSize() const;

    std::string FFileName;
    bool FHasUtf8Bom = false;
    TTextEncoding FEncoding = teCp932;
    bool FEncodingValid = true;
    bool FModified = false;                // a section was added or deleted
    std::vector<TExtIniSection*> FTouched; // the sections with a text before
    TExtIniSection FPreamble{this, std::string()};
    TExtIniSection* FFirstSection = nullptr;
    TExtIniSection* FLastSection = nullptr;
    // Every section but the preamble, named and nameless, in file order; owns them.
    TExtIniSection* FFirstInFile = nullptr;
    TExtIniSection* FLastInFile = nullptr;
    // File-name key of a section name (FileNameKey) -> that section.
    std::unordered_map<std::string, TExtIniSection*> FSectionIndex;
};

// Replaces the file at path with the bytes: the complete text goes to a temporary file beside
// the target, made sure to have reached the disk, which then replaces the target in one step,
// so a failure at any point leaves the old file exactly as it was (SaveToFile saves so too).
// Temporary files of earlier replaces that were killed are removed first. False on any
// failure, a read-only target or a folder of that name included.
bool SaveTextToFile(const std::string& path, const char* data, size_t size);
bool SaveTextToFile(const std::string& path, const std::string& text);
