// What alias.exe writes: lines on standard output, error lines among them.
#include "Alias.h"

#include <windows.h>

#include <algorithm>

#include "Encoding.h"
#include "Files.h"
#include "Messages.h"
#include "Text.h"

void WriteLine(const std::string& text) {
    // A failed write is not reported: when standard output is closed, there is nowhere left to
    // report it.
    const std::string line = text + "\r\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), line.size());
}

void WriteMessage(std::string text) {
    BlankControls(text.data(), text.data() + text.size());
    WriteLine(text);
}

size_t ConsoleChunk(const std::wstring& text, size_t at, size_t limit) {
    const size_t n = std::min(limit, text.size() - at);
    const wchar_t last = text[at + n - 1];
    return n > 1 && n < text.size() - at && last >= 0xD800 && last <= 0xDBFF ? n - 1 : n;
}

void WriteFileText(const std::string& stored, TTextEncoding encoding) {
    // Stored text shows its control bytes as blanks, as every message does: an escape sequence
    // could hide or change what the user reads. The line breaks between lines stay.
    std::string text = stored;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\n' && !(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            BlankControls(&text[i], &text[i] + 1);
    if (encoding == teCp932) {
        WriteLine(text);
        return;
    }
    // Converted line by line: a line that is not valid UTF-8 shows its ASCII and a "?" for each
    // other byte, and the lines around it still show in full.
    std::wstring wide, line;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string bytes = text.substr(at, end - at);
        if (!FileTextToWide(bytes, encoding, line)) {
            line.clear();
            for (const char c : bytes)
                line += static_cast<unsigned char>(c) < 0x80 ? wchar_t(c) : L'?';
        }
        wide += line;
        wide += end < text.size() ? L"\n" : L"\r\n";
        at = end + 1;
    }
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, put = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console gets UTF-16, so it shows every character, not only those of code page 932.
        // One write takes a limited length, so the text goes in chunks.
        for (size_t at = 0, n; at < wide.size(); at += n) {
            n = ConsoleChunk(wide, at, 8192);
            WriteConsoleW(out, wide.data() + at, DWORD(n), &put, nullptr);
        }
        return;
    }
    const std::string shown = ShownCp932(wide);
    WriteAll(out, shown.data(), shown.size());
}

void ReportFailure(const TFailure& failure) {
    if (failure.Error == ERROR_NOT_ENOUGH_MEMORY)
        ReportOutOfMemory();
    else if (!failure.Text.empty())
        WriteErrorLine(WithCause(failure.Text, failure.Error));
    for (const auto& more : failure.More)
        WriteErrorLine(more);
}

void ReportOutOfMemory() {
    WriteErrorLine(kOutOfMemory);
}
