#include "TextBuffer.h"

#include "Text.h"
#include "WordAtATime.h"

namespace {

// The first byte c at or after i, or n. Two words at a time (WordAtATime.h): a byte equal to c is a
// zero byte of the word xor'ed with a copy of c in every byte.
uint32_t FindByte(const char* text, uint32_t i, uint32_t n, char c) {
    const TWord copies = kLowBits * static_cast<unsigned char>(c);
    for (; n - i >= 2 * sizeof(TWord); i += 2 * sizeof(TWord)) {
        const TWord inA = ZeroBytes(WordAt(text + i) ^ copies);
        const TWord inB = ZeroBytes(WordAt(text + i + sizeof(TWord)) ^ copies);
        if (inA | inB)
            return i + uint32_t(inA ? FirstMarkedByte(inA) : sizeof(TWord) + FirstMarkedByte(inB));
    }
    while (i < n && text[i] != c)
        ++i;
    return i;
}

} // namespace

void TTextBuffer::Clear() {
    if (FSize)
        UnmapViewOfFile(FText);
    FFile.Reset();
    FText = nullptr;
    FSize = FPosition = 0;
}

TLoadResult TTextBuffer::LoadFromFile(const std::string& path) {
    Clear();
    uint64_t size = 0;
    const TLoadResult opened = OpenWholeFile(path, FFile, size);
    if (opened != lrLoaded)
        return opened;
    if (size == 0) // an empty file cannot be mapped, and has no bytes to show
        return lrLoaded;
    // A view of the cached pages: a copy's fresh pages cost several times what the bytes do. A page
    // that cannot be read in fails as the program's own would: its file lies beside this one.
    TLoadResult result = lrUnreadable;
    {
        TKernelHandle mapping(
            CreateFileMappingA(FFile.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping.Valid()) {
            FText = static_cast<const char*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
            result = lrOutOfMemory; // no room for the view in the address space
        }
    }
    if (FText) {
        FSize = DWORD(size);
        // FF FE or FE FF: no code page 932 text starts so.
        const auto* bytes = reinterpret_cast<const unsigned char*>(FText);
        if (FSize < 2 || bytes[0] < 0xFE || (bytes[0] ^ bytes[1]) != 1)
            return lrLoaded;
        result = lrUnreadable;
    }
    Clear();
    return result;
}

bool TTextBuffer::ReadLine(std::string& line) {
    line.clear();
    if (FPosition >= FSize)
        return false;
    // The runs between CR bytes, which are dropped, go in one piece each.
    uint32_t i = FPosition, run = i;
    for (; i < FSize && FText[i] != '\n'; ++i)
        if (FText[i] == '\r') {
            line.append(FText + run, i - run);
            run = i + 1;
        }
    line.append(FText + run, i - run);
    FPosition = i < FSize ? i + 1 : i;
    return true;
}

// One search for `first` steps over every line between two; it lands in a line looked at around it.
bool TTextBuffer::SkipLinesNotStartingWith(char first, const char* next) {
    const char* text = FText;
    const uint32_t n = FSize;
    for (uint32_t at = FPosition; (at = FindByte(text, at, n, first)) < n; ++at) {
        uint32_t start = at, j = at + 1;
        while (start > FPosition && text[start - 1] != '\n' && IsBlank(text[start - 1]))
            --start;
        while (j < n && text[j] != '\n' && IsBlank(text[j]))
            ++j;
        if (start > FPosition && text[start - 1] != '\n')
            continue; // not the line's first byte other than blanks
        const char c = j < n ? LowerAsciiChar(text[j]) : '\n';
        const char* p = next;
        while (p && *p && *p != c)
            ++p;
        if (!p || *p) {
            FPosition = start;
            return true;
        }
    }
    FPosition = n;
    return false;
}

TEncodingRule TTextBuffer::DecideEncoding() {
    TEncodingRule rule;
    if (FPosition == 0 && StartsWithUtf8Mark(FText, FSize)) {
        FPosition = kUtf8MarkSize;
        rule.Mark();
    }
    rule.Feed(FText + FPosition, FSize - FPosition);
    return rule;
}

std::string_view TTextBuffer::Rest() const {
    return std::string_view(FText + FPosition, FSize - FPosition);
}
