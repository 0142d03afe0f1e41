// What alias.exe writes: lines on standard output, error lines among them.
#include "Alias.h"

#include <windows.h>

#include <algorithm>

#include "Encoding.h"
#include "Files.h"

void WriteLine(const std::string& text) {
    // Output that is closed has nothing more to say.
    const std::string line = text + "\r\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), line.size());
}

void WriteFileText(const std::string& text, TTextEncoding encoding) {
    if (encoding == teCp932) {
        WriteLine(text);
        return;
    }
    std::wstring wide;
    if (!ToWide(text, encoding, wide))
        ToWide(text, teCp932, wide); // what is no UTF-8 in it, as the helper reads it
    wide += L"\r\n";
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, put = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console window shows every character; its writes are of bounded length.
        const size_t kChunk = 8192;
        for (size_t at = 0; at < wide.size(); at += kChunk)
            WriteConsoleW(out, wide.data() + at, DWORD(std::min(kChunk, wide.size() - at)), &put,
                          nullptr);
        return;
    }
    const std::string shown = ShownCp932(wide);
    WriteAll(out, shown.data(), shown.size());
}

void ReportError(const std::string& text) {
    WriteLine("error: " + text);
}

void ReportOutOfMemory() {
    static const char kLine[] = "error: メモリが不足しています。\r\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), kLine, sizeof kLine - 1);
}
