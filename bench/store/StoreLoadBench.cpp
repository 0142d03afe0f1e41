// Load time of definition files with 1,000, 10,000 and 100,000 sections: the time should grow
// in step with the size (a ratio near 10 from 10,000 to 100,000).
#include <windows.h>

#include <cstdio>
#include <string>

#include "ExtIniFile.h"

static double LoadSeconds(const std::string& path) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QueryPerformanceCounter(&a);
        {
            TExtIniFile ini;
            ini.LoadFromFile(path);
        }
        QueryPerformanceCounter(&b);
        double s = double(b.QuadPart - a.QuadPart) / double(freq.QuadPart);
        if (s < best)
            best = s;
    }
    return best;
}

int main() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    double previous = 0;
    for (int sections : {1000, 10000, 100000}) {
        std::string text = "; generated\r\n[alias]\r\neditor=notepad.exe\r\n";
        for (int i = 0; i < sections; ++i) {
            const std::string n = std::to_string(i);
            text += "[alias" + n + "]\r\ntype=console\r\napp=C:\\tools\\prog" + n +
                    ".exe\r\nparam=-n " + n + "\r\ndir=\r\nenv:PATH=C:\\bin;%PATH%\r\n\r\n";
        }
        const std::string path =
            std::string(temp) + "store_bench_" + std::to_string(sections) + ".ini";
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD put = 0;
        WriteFile(f, text.data(), DWORD(text.size()), &put, nullptr);
        CloseHandle(f);
        const double s = LoadSeconds(path);
        printf("%7d sections %9zu bytes  load %8.1f ms", sections, text.size(), s * 1000);
        if (previous > 0)
            printf("  (x%.1f)", s / previous);
        printf("\n");
        previous = s;
        DeleteFileA(path.c_str());
    }
    return 0;
}
