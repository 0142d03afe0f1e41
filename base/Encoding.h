// The two encodings that stored text can have, and the one place that converts it to and from
// UTF-16. A conversion is exact or it fails. The system's "best fit" would replace a character it
// cannot convert with a look-alike, and that look-alike could be a quote or a path separator that
// the caller never wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

enum TTextEncoding : int32_t { teCp932 = 0, teUtf8 = 1 };

// The code page that both programs' ANSI system calls use. Every conversion that means "code page
// 932" uses this constant, so all of them agree.
constexpr unsigned kAnsiCodePage = 932;

// The UTF-8 byte-order mark, which Notepad writes before UTF-8 text.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = sizeof kUtf8Mark - 1;
inline bool StartsWithUtf8Mark(const char* text, size_t size) {
    return size >= kUtf8MarkSize && memcmp(text, kUtf8Mark, kUtf8MarkSize) == 0;
}

// Returns the length (1 to 4) of the well-formed UTF-8 sequence that starts at byte i, or 0 when
// the bytes there are not well-formed UTF-8.
size_t Utf8SequenceLength(const char* text, size_t size, size_t i);

// Decides a text's encoding from its bytes, which may be fed in several pieces. The text is UTF-8
// when it starts with a UTF-8 mark, or when all of it is well-formed UTF-8 and it holds at least
// one character of more than one byte; otherwise it is code page 932. A text that starts with a
// UTF-8 mark but has bytes after it that are not well-formed UTF-8 contradicts its own mark, so
// Valid() returns false for it.
class TEncodingRule {
  public:
    void Mark() { FMark = true; }
    void Feed(const char* text, size_t size);
    TTextEncoding Encoding() const { return FMark || (!FBroken && FMultiByte) ? teUtf8 : teCp932; }
    bool HasMark() const { return FMark; }
    bool Valid() const { return !(FMark && FBroken); }
    bool WellFormed() const { return !FBroken; }

  private:
    bool FMark = false, FBroken = false, FMultiByte = false;
};

// Returns false when the bytes are not valid text in the encoding. NUL bytes become NUL characters.
bool ToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// Converts a file's text the way the helper reads it: text that is not valid in its own encoding
// is read as code page 932 instead. Returns false when it is not valid code page 932 either.
bool FileTextToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// Returns false when the encoding cannot hold every character exactly. Neither encoding can hold a
// lone surrogate, so a text with one always fails.
bool FromWide(const std::wstring& wide, TTextEncoding encoding, std::string& bytes);
// Reads code page 932 the way the system's ANSI calls do, including the way they handle bytes that
// code page 932 does not define, so this conversion is not exact. It is meant for the locale's
// wide calls (comparison, sort keys), whose results must agree with the ANSI calls.
std::wstring AnsiCallText(const std::string& bytes);
// Converts text for a message: each character that code page 932 cannot show becomes "?".
std::string ShownCp932(const std::wstring& wide);
