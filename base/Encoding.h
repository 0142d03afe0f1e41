// The encodings text is kept in and the one crossing to UTF-16. A conversion is exact or fails: a
// best-fit look-alike could turn a caller's text into a quote or a path separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

enum TTextEncoding : int32_t { teCp932 = 0, teUtf8 = 1 };

// The ANSI code page of both programs' ANSI calls: what "code page 932" means in every conversion.
constexpr unsigned kAnsiCodePage = 932;

// The UTF-8 byte-order mark, which Notepad writes before UTF-8 text.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8MarkSize = sizeof kUtf8Mark - 1;
inline bool StartsWithUtf8Mark(const char* text, size_t size) {
    return size >= kUtf8MarkSize && memcmp(text, kUtf8Mark, kUtf8MarkSize) == 0;
}

// The length (1 to 4) of the well-formed UTF-8 sequence at byte i; 0 for none.
size_t Utf8SequenceLength(const char* text, size_t size, size_t i);

// A text's encoding, fed piece by piece. A UTF-8 mark makes it UTF-8, and so does text that is
// well-formed UTF-8 throughout and holds at least one character of more than one byte. A text
// with a mark whose bytes after it are not all UTF-8 is not Valid.
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

// false when the bytes are no text in the encoding. NUL bytes become NUL characters.
bool ToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// As the helper reads a file's text: what is no text in its encoding as code page 932.
bool FileTextToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// false when the encoding cannot hold every character as it is (neither holds a lone surrogate).
bool FromWide(const std::wstring& wide, TTextEncoding encoding, std::string& bytes);
// Code page 932 as the ANSI calls read it, undefined bytes their own way (not exact): for the
// locale's calls, which must agree with them.
std::wstring AnsiCallText(const std::string& bytes);
// For a message: "?" for what code page 932 cannot show.
std::string ShownCp932(const std::wstring& wide);
