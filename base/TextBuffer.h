// TTextBuffer: a whole file's bytes at once, handed out line by line.
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
    // The file's bytes, opened as every whole file is (OpenWholeFile) and held open, shared for
    // reading only, while the text is held: nobody writes it meanwhile. Anything but lrLoaded
    // leaves no text: the file cannot be opened, mapped (lrOutOfMemory: no room for the view), or
    // starts with a UTF-16 mark (every other byte zero, which a byte-wise reading would mangle).
    TLoadResult LoadFromFile(const std::string& path);
    // The next line: CR bytes are dropped, LF ends it. False when the text is used up.
    bool ReadLine(std::string& line);
    // Steps, without copying, to the next line whose first byte other than blanks is `first` and
    // whose next such byte, an ASCII letter lower-cased, is in `next` (any when null); false when
    // the text is used up.
    bool SkipLinesNotStartingWith(char first, const char* next = nullptr);
    // The text's encoding as every reader of a definition file decides it: a UTF-8 mark at the
    // start (stepped over), and all the bytes after it (TEncodingRule).
    TEncodingRule DecideEncoding();
    // The text not read yet.
    std::string_view Rest() const;

  private:
    TFileHandle FFile;
    const char* FText = nullptr; // a view of the file; null for no bytes
    uint32_t FSize = 0, FPosition = 0;
};
