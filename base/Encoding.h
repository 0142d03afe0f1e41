// The encodings text is kept in and the one crossing to UTF-16. A conversion is exact or fails: a
// best-fit look-alike could turn a caller's text into a quote or a path separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum TTextEncoding : int32_t { teCp932 = 0, teUtf8 = 1 };

// The ANSI code page of both programs' ANSI calls: what "code page 932" means in every conversion.
constexpr unsigned kAnsiCodePage = 932;

// The length (1 to 4) of the well-formed UTF-8 sequence at byte i; 0 for none.
size_t Utf8SequenceLength(const char* text, size_t size, size_t i);

// A text's encoding, fed piece by piece: a UTF-8 mark, or UTF-8 throughout with a sequence longer
// than a byte, make it UTF-8 (with a mark, no UTF-8 after it is not Valid).
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
