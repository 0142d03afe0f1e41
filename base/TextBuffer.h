// TTextBuffer: a whole file's bytes in memory at once, handed out line by line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"
#include "Files.h"
#include "Handle.h"

class TTextBuffer {
  public:
    TTextBuffer() = default;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    ~TTextBuffer() { Clear(); }

    void Clear();
    // Makes the whole file's bytes the text. Anything but lrLoaded leaves no text: the file is
    // missing, cannot be opened (a directory, locked for writing, no access), sized or mapped,
    // finds no room in the address space (lrOutOfMemory), or starts with a UTF-16 byte-order
    // mark (text whose every other byte is zero, which a byte-wise reading would mangle). The
    // file is opened as every whole file is (OpenWholeFile) and stays open, shared for reading
    // only, as long as the text is held: nobody writes it meanwhile.
    TLoadResult LoadFromFile(const std::string& path);
    // The next line: CR bytes are dropped wherever they stand, LF ends the line. False when the
    // text is used up.
    bool ReadLine(std::string& line);
    // Steps over the lines whose first byte other than blanks is not `first`, without copying
    // them, up to the start of the next line whose is and whose next byte other than blanks, an
    // ASCII letter lower-cased, is one of those in `next` (printable; any byte when next is
    // null); false when the text is used up.
    bool SkipLinesNotStartingWith(char first, const char* next = nullptr);
    // The text's encoding, as every reader of a definition file decides it: a UTF-8 byte-order
    // mark (EF BB BF) at the very start, which some editors write and which is stepped over, and
    // all the bytes after it (TEncodingRule).
    TEncodingRule DecideEncoding();
    // The text not read yet.
    std::string_view Rest() const;

  private:
    TFileHandle FFile;
    const char* FText = nullptr; // a view of the file; null for no bytes
    uint32_t FSize = 0, FPosition = 0;
};
