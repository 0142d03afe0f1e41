// Where the helper's reading of "alias.ini" spends its time, phase by phase, at 1, 1,000 and
// 10,000 other sections (the file of the shared start benchmark: each section with an "env:"
// entry, the helper's own last; and the same sections with Japanese values in UTF-8): the open
// and read of the whole file (TTextBuffer::LoadFromFile), the encoding decision
// (DecideEncoding), the release of the bytes (Clear), and the pass over the lines with the rest
// of ReadAliasSections (all of it less the three). Medians of many rounds, in microseconds; the
// libraries' ordinary build, not the helper's link-time one. Run it pinned to one CPU.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "AliasSection.h"
#include "TextBuffer.h"

namespace {

double Now() {
    static LARGE_INTEGER f = [] {
        LARGE_INTEGER q;
        QueryPerformanceFrequency(&q);
        return q;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1e6 / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string File(int others, bool japanese) {
    std::string text;
    for (int i = 0; i < others; ++i) {
        char section[256];
        snprintf(section, sizeof section,
                 japanese
                     ? "[tool%05d]\r\ntype=console\r\napp=C:\\ツール\\tool%d\\bin\\tool%d.exe\r\n"
                       "param=--表%d\r\ndir=\r\nenv:PATH=C:\\ツール\\tool%d;%%PATH%%\r\n\r\n"
                     : "[tool%05d]\r\ntype=console\r\napp=C:\\tools\\tool%d\\bin\\tool%d.exe\r\n"
                       "param=--flag%d\r\ndir=\r\nenv:PATH=C:\\tools\\tool%d;%%PATH%%\r\n\r\n",
                 i, i, i, i, i);
        text += section;
    }
    text += "[probe-stub]\r\ntype=console\r\napp=C:\\probe.exe\r\nparam=\r\ndir=\r\n";
    if (!japanese)
        return text;
    // The literals are code page 932; the file is as Notepad saves it.
    std::wstring wide(text.size(), L'\0');
    wide.resize(size_t(
        MultiByteToWideChar(932, 0, text.data(), int(text.size()), &wide[0], int(wide.size()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &utf8[0],
                                           int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 200;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "helper_read_bench.ini";
    printf("%-22s %9s %10s %10s %10s %10s %10s\n", "file", "bytes", "open+read", "encoding",
           "release", "line pass", "all");
    const struct {
        const char* label;
        int others;
        bool japanese;
    } files[] = {{"1 alias", 0, false},
                 {"1,000 aliases", 1000, false},
                 {"10,000 aliases", 10000, false},
                 {"10,000 aliases, UTF-8", 10000, true}};
    for (const auto& f : files) {
        const std::string text = File(f.others, f.japanese);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(h, text.data(), DWORD(text.size()), &put, nullptr);
        CloseHandle(h);
        std::vector<double> load, decide, release, all;
        for (int r = 0; r < rounds + 5; ++r) {
            double t[5];
            {
                TTextBuffer buffer;
                t[0] = Now();
                buffer.LoadFromFile(path);
                t[1] = Now();
                buffer.DecideEncoding();
                t[2] = Now();
                buffer.Clear();
                t[3] = Now();
            }
            TAliasSection own, defaults;
            t[4] = Now();
            const bool read = ReadAliasSections(path, "probe-stub", own, defaults);
            if (r < 5) // warm-up
                continue;
            all.push_back(Now() - t[4]);
            if (!read || !own.Found()) {
                printf("the section was not found\n");
                return 1;
            }
            load.push_back(t[1] - t[0]);
            decide.push_back(t[2] - t[1]);
            release.push_back(t[3] - t[2]);
        }
        const double l = Median(load), d = Median(decide), c = Median(release), a = Median(all);
        printf("%-22s %9zu %10.1f %10.1f %10.1f %10.1f %10.1f\n", f.label, text.size(), l, d, c,
               a - l - d - c, a);
    }
    DeleteFileA(path.c_str());
    return 0;
}
