#include "Encoding.h"

#include <windows.h>

#include <cstring>

#include "WordAtATime.h"

namespace {

UINT CodePage(TTextEncoding encoding) {
    return encoding == teUtf8 ? CP_UTF8 : kAnsiCodePage;
}

// No UTF-16 unit needs more than three bytes in either encoding, so a buffer of three bytes per
// unit is always large enough and one call converts the whole text.
bool Narrow(const std::wstring& wide, std::string& bytes, UINT codePage, DWORD flags,
            BOOL* usedDefault) {
    bytes.assign(wide.size() * 3, '\0');
    const int n = wide.empty()
                      ? 0
                      : WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()),
                                            &bytes[0], int(bytes.size()), nullptr, usedDefault);
    bytes.resize(n > 0 ? size_t(n) : 0);
    return n > 0 || wide.empty();
}

} // namespace

size_t Utf8SequenceLength(const char* text, size_t size, size_t i) {
    const auto* b = reinterpret_cast<const unsigned char*>(text);
    const unsigned char c = b[i];
    if (c < 0x80)
        return 1;
    // The lead byte tells the sequence's length and the range its second byte must be in (narrower
    // after E0, ED, F0 and F4, which rules out overlong forms, surrogates and values past
    // U+10FFFF). Every further byte must be 0x80 to 0xBF.
    size_t n;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (i + n > size || b[i + 1] < low || b[i + 1] > high)
        return 0;
    for (size_t k = 2; k < n; ++k)
        if (b[i + k] < 0x80 || b[i + k] > 0xBF)
            return 0;
    return n;
}

void TEncodingRule::Feed(const char* text, size_t size) {
    const size_t kBlock = 4 * sizeof(TWord);
    bool broken = FBroken, multiByte = FMultiByte;
    for (size_t i = 0; i < size && !broken;) {
        // Most of any definition file is ASCII, and the helper feeds all of it to this rule. So
        // four machine words with no byte of 0x80 or more are skipped in one step (see
        // WordAtATime.h), and near other characters one word at a time; only a byte of 0x80 or
        // more is looked at on its own.
        const char* p = text + i;
        if (size - i >= kBlock && ((WordAt(p) | WordAt(p + sizeof(TWord)) |
                                    WordAt(p + 2 * sizeof(TWord)) | WordAt(p + 3 * sizeof(TWord))) &
                                   kHighBits) == 0) {
            i += kBlock;
            continue;
        }
        if (size - i >= sizeof(TWord)) {
            const TWord other = WordAt(p) & kHighBits;
            if (!other) {
                i += sizeof(TWord);
                continue;
            }
            i += FirstMarkedByte(other);
        }
        const size_t n =
            static_cast<unsigned char>(text[i]) < 0x80 ? 1 : Utf8SequenceLength(text, size, i);
        broken = n == 0;
        multiByte = multiByte || n > 1;
        i += n;
    }
    FBroken = broken;
    FMultiByte = multiByte;
}

// No byte sequence gives more UTF-16 units than it has bytes, so a buffer of one unit per byte is
// always large enough and one call converts the whole text.
static bool Widen(const std::string& bytes, UINT codePage, DWORD flags, std::wstring& wide) {
    wide.assign(bytes.size(), '\0');
    const int n = bytes.empty()
                      ? 0
                      : MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()),
                                            &wide[0], int(wide.size()));
    wide.resize(n > 0 ? size_t(n) : 0);
    return n > 0 || bytes.empty();
}

bool ToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide) {
    return Widen(bytes, CodePage(encoding), MB_ERR_INVALID_CHARS, wide);
}

std::wstring AnsiCallText(const std::string& bytes) {
    std::wstring wide;
    Widen(bytes, kAnsiCodePage, 0, wide);
    return wide;
}

bool FileTextToWide(const std::string& bytes, TTextEncoding encoding, std::wstring& wide) {
    return ToWide(bytes, encoding, wide) || ToWide(bytes, teCp932, wide);
}

bool FromWide(const std::wstring& wide, TTextEncoding encoding, std::string& bytes) {
    if (encoding == teUtf8)
        return Narrow(wide, bytes, CP_UTF8, WC_ERR_INVALID_CHARS, nullptr);
    BOOL usedDefault = FALSE;
    if (!Narrow(wide, bytes, kAnsiCodePage, WC_NO_BEST_FIT_CHARS, &usedDefault) || usedDefault)
        return false;
    // Several UTF-16 characters can map to the same code page 932 bytes, which read back as only
    // one of them. The conversion is exact only if reading the bytes back gives the same text.
    std::wstring back;
    return ToWide(bytes, teCp932, back) && back == wide;
}

std::string ShownCp932(const std::wstring& wide) {
    std::string bytes;
    return Narrow(wide, bytes, kAnsiCodePage, WC_NO_BEST_FIT_CHARS, nullptr) ? bytes
                                                                             : std::string();
}
