// What alias.exe writes: lines on standard output, error lines among them.
#include "Alias.h"

#include <windows.h>

#include "Files.h"

void WriteLine(const std::string& text) {
    // Output that is closed has nothing more to say.
    const std::string line = text + "\r\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), line.size());
}

void ReportError(const std::string& text) {
    WriteLine("error: " + text);
}

void ReportOutOfMemory() {
    static const char kLine[] = "error: メモリが不足しています。\r\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), kLine, sizeof kLine - 1);
}
