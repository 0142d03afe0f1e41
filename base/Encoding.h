// The encodings text is kept in (code page 932, or UTF-8 where a definition file is saved so),
// and the one crossing between text in them and the system's UTF-16. A conversion is exact or it
// fails: no character is ever replaced by a look-alike ("best fit"), which could turn a
// caller's text into a quote or a path separator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum TTextEncoding : int32_t { teCp932 = 0, teUtf8 = 1 };

// The ANSI code page both programs' ANSI calls work in, and so what "code page 932" means in
// every conversion.
constexpr unsigned kAnsiCodePage = 932;

// The length of the well-formed UTF-8 sequence that starts at byte i (1 to 4), or 0 when none
// does: a stray continuation byte, an overlong form, a surrogate, a value past U+10FFFF or a
// sequence cut short.
size_t Utf8SequenceLength(const char* text, size_t size, size_t i);

// The rule that decides a text's encoding, fed piece by piece: a UTF-8 byte-order mark, or
// bytes that are well-formed UTF-8 throughout and hold at least one sequence longer than a
// byte, make it UTF-8; anything else is code page 932. A mark before bytes that are no UTF-8
// keeps it UTF-8, but not Valid.
class TEncodingRule {
  public:
    void Mark() { FMark = true; }
    void Feed(const char* text, size_t size);
    TTextEncoding Encoding() const { return FMark || (!FBroken && FMultiByte) ? teUtf8 : teCp932; }
    bool HasMark() const { return FMark; }
    bool Valid() const { return !(FMark && FBroken); }
    // Whether all it was fed is UTF-8 (ASCII alone included).
    bool WellFormed() const { return !FBroken; }

  private:
    bool FMark = false, FBroken = false, FMultiByte = false;
};

// The text as UTF-16; false when the bytes are no text in that encoding (a lone lead byte, an
// undefined character, a malformed UTF-8 sequence). NUL bytes become NUL characters.
bool ToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// A text of a definition file in that encoding as UTF-16, read as the helper reads it: what
// is no text in the file's encoding (a hand edit in another editor) as code page 932. False
// when it is neither.
bool FileTextToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide);
// UTF-16 in that encoding; false when it cannot hold every character as it is (code page 932:
// an accented letter, Hangul, an emoji; either: an unpaired surrogate).
bool FromWide(const std::wstring& wide, TTextEncoding encoding, std::string& bytes);
// The text for a message in code page 932 only: "?" stands for what it cannot show.
std::string ShownCp932(const std::wstring& wide);
