#include "TextBuffer.h"

#include "Text.h"
#include "WordAtATime.h"

namespace {

// Returns the position of the first byte equal to c at or after i, or n when there is none. It
// reads two machine words per step, with the trick described in WordAtATime.h: xor-ing a word with
// c copied into every byte turns each byte equal to c into a zero byte, which ZeroBytes finds.
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
    if (size == 0) // the system cannot map an empty file, and there are no bytes to read anyway
        return lrLoaded;
    // The text is a view of the file's pages in the system cache, not a copy: copying into fresh
    // memory costs several times what reading the bytes does, because each new page must be
    // touched first. With a view, a page that cannot be read in later (a disk error) stops the
    // program instead of giving a failure value. That risk is accepted: the file normally lies
    // beside the program's own executable, whose pages are read in the same way, so a disk that
    // fails here would stop the program anyway.
    TLoadResult result = lrUnreadable;
    {
        TKernelHandle mapping(
            CreateFileMappingA(FFile.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping.Valid()) {
            FText = static_cast<const char*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
            // The mapping exists, so if no view comes of it the address space had no room.
            result = lrOutOfMemory;
        }
    }
    if (FText) {
        FSize = DWORD(size);
        // A file that starts with FF FE or FE FF is UTF-16 with its byte-order mark. No code page
        // 932 or UTF-8 text starts with these bytes, so such a file is refused as unreadable.
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
    // CR bytes are dropped. The runs of bytes between them are appended one whole run at a time
    // rather than byte by byte.
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

// One search for the byte `first` passes over all the lines in between at once, instead of reading
// them line by line. Where the search lands, the bytes around it tell whether it is the first
// non-blank byte of its line and whether the byte after it is one of `next`.
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
            continue; // the byte found is not the first non-blank byte of its line
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
