// TTextBuffer holds a whole file's bytes at once and hands them out line by line.
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
    // Opens the file the way every whole file is opened (OpenWholeFile, shared for reading only)
    // and keeps it open as long as the text is held, so that nobody can change the bytes
    // meanwhile. A file that cannot be mapped into memory, or that starts with a UTF-16 mark,
    // gives no text.
    TLoadResult LoadFromFile(const std::string& path);
    // Reads the next line: LF ends it, and any CR bytes in it are dropped. Returns false when the
    // text is used up.
    bool ReadLine(std::string& line);
    // Moves, without copying anything, to the next line whose first non-blank byte is `first` and
    // whose next non-blank byte after it, lower-cased, is one of the bytes in `next` (the end of
    // the line counts as "\n"). When next is null, any byte will do. Returns false when no such
    // line is left.
    bool SkipLinesNotStartingWith(char first, const char* next = nullptr);
    // Decides the text's encoding the same way every reader of a definition file does, and steps
    // over a UTF-8 mark at the start so that the next line read does not begin with it.
    TEncodingRule DecideEncoding();
    std::string_view Rest() const;

  private:
    TFileHandle FFile;
    const char* FText = nullptr; // a mapped view of the file; null when there are no bytes
    uint32_t FSize = 0, FPosition = 0;
};
