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
    // Opened as every whole file is and held open while the text is (nobody writes it meanwhile).
    // No text for a file that cannot be mapped or starts with a UTF-16 mark.
    TLoadResult LoadFromFile(const std::string& path);
    // CR bytes are dropped, LF ends the line.
    bool ReadLine(std::string& line);
    // Steps, without copying, to the next line whose first non-blank byte is `first` and whose next
    // one, lower-cased, is in `next` (any byte when null); false when the text is used up.
    bool SkipLinesNotStartingWith(char first, const char* next = nullptr);
    // As every reader of a definition file decides it, a UTF-8 mark stepped over.
    TEncodingRule DecideEncoding();
    std::string_view Rest() const;

  private:
    TFileHandle FFile;
    const char* FText = nullptr; // a view of the file; null for no bytes
    uint32_t FSize = 0, FPosition = 0;
};
