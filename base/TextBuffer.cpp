#include "TextBuffer.h"

#include <cstring>

#include "Text.h"

void TTextBuffer::Clear() {
    FMem.Release();
    FPosition = 0;
}

TLoadResult TTextBuffer::LoadFromFile(const std::string& path) {
    Clear();
    const TLoadResult result = ReadWholeFile(path, FMem);
    // FF FE or FE FF (the zero byte after a short text stands for a second byte that is not
    // there): no code page 932 text starts so.
    const auto* bytes = static_cast<const unsigned char*>(FMem.Data());
    if (result == lrLoaded && bytes[0] >= 0xFE && (bytes[0] ^ bytes[1]) == 1) {
        FMem.Release();
        return lrUnreadable;
    }
    return result;
}

bool TTextBuffer::ReadLine(std::string& line) {
    line.clear();
    if (!FMem.Allocated())
        return false;
    const uint32_t n = FMem.Size() - 1;
    if (FPosition >= n)
        return false;
    const char* text = static_cast<const char*>(FMem.Data());
    uint32_t i = FPosition;
    // Copy runs between CR bytes in one go; CR is dropped, LF ends the line.
    uint32_t runStart = i;
    while (i < n) {
        char c = text[i];
        if (c == '\n' || c == '\r') {
            line.append(text + runStart, i - runStart);
            ++i;
            runStart = i;
            if (c == '\n')
                break;
            continue;
        }
        ++i;
    }
    if (runStart < i) // the last line, without LF
        line.append(text + runStart, i - runStart);
    FPosition = i;
    return true;
}

bool TTextBuffer::SkipLinesNotStartingWith(char first) {
    if (!FMem.Allocated())
        return false;
    const uint32_t n = FMem.Size() - 1;
    const char* text = static_cast<const char*>(FMem.Data());
    uint32_t i = FPosition;
    while (i < n) {
        uint32_t j = i;
        while (j < n && text[j] != '\n' && IsBlank(text[j]))
            ++j;
        if (j < n && text[j] == first) {
            FPosition = i;
            return true;
        }
        const void* lf = memchr(text + j, '\n', n - j);
        i = lf ? uint32_t(static_cast<const char*>(lf) - text) + 1 : n;
    }
    FPosition = n;
    return false;
}

TEncodingRule TTextBuffer::DecideEncoding() {
    TEncodingRule rule;
    const auto* text = static_cast<const unsigned char*>(FMem.Data());
    if (FMem.Allocated() && FPosition == 0 && FMem.Size() - 1 >= 3 && text[0] == 0xEF &&
        text[1] == 0xBB && text[2] == 0xBF) {
        FPosition = 3;
        rule.Mark();
    }
    const std::string_view rest = Rest();
    rule.Feed(rest.data(), rest.size());
    return rule;
}

std::string_view TTextBuffer::Rest() const {
    if (!FMem.Allocated())
        return std::string_view();
    return std::string_view(static_cast<const char*>(FMem.Data()) + FPosition,
                            FMem.Size() - 1 - FPosition);
}
