// TTextBuffer: a whole file read into memory in one go and handed out line by line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Encoding.h"
#include "ExtMem.h"
#include "Files.h"

class TTextBuffer {
  public:
    TTextBuffer() = default;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    void Clear();
    // Reads the whole file (ReadWholeFile). Anything but lrLoaded leaves no text; a file that
    // starts with a UTF-16 byte-order mark (text whose every other byte is zero, which a
    // byte-wise reading would mangle) is unreadable too.
    TLoadResult LoadFromFile(const std::string& path);
    // The next line: CR bytes are dropped wherever they stand, LF ends the line. False when the
    // text is used up.
    bool ReadLine(std::string& line);
    // Steps over the lines whose first byte other than blanks is not `first`, without copying
    // them, up to the start of the next line whose is; false when the text is used up.
    bool SkipLinesNotStartingWith(char first);
    // The text's encoding, as every reader of a definition file decides it: a UTF-8 byte-order
    // mark (EF BB BF) at the very start, which some editors write and which is stepped over, and
    // all the bytes after it (TEncodingRule).
    TEncodingRule DecideEncoding();
    // The text not read yet.
    std::string_view Rest() const;

  private:
    TExtMem FMem; // the file's bytes and one zero byte
    uint32_t FPosition = 0;
};
