// What a helper command costs over starting its target directly, measured in process starts.
// Times, interleaved, starts of an empty program, of the probe started directly and of the
// probe started through the console helper command, and prints the medians and
// (median(helper) - median(direct)) / median(empty). Run it pinned to one CPU (README).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

static std::string Dir() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string p(buf, n);
    return p.substr(0, p.find_last_of('\\') + 1);
}

// Milliseconds for one start-to-end run of cmdline.
static double TimeRun(const std::string& cmdline, HANDLE nul) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES; // the probe's output goes nowhere
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(cmdline.begin(), cmdline.end());
    line.push_back('\0');
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&b);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 100;
    const std::string bench = Dir(), tests = bench + "..\\tests\\", dist = bench + "..\\dist\\";
    const std::string work = bench + "launch\\";
    CreateDirectoryA(work.c_str(), nullptr);
    CopyFileA((dist + "dovoz.ex_").c_str(), (work + "hp.exe").c_str(), FALSE);
    CopyFileA((tests + "probe_con.exe").c_str(), (work + "probe.exe").c_str(), FALSE);
    const std::string ini = "[hp]\r\napp=" + work + "probe.exe\r\n";
    HANDLE h = CreateFileA((work + "alias.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           0, nullptr);
    DWORD put = 0;
    WriteFile(h, ini.data(), DWORD(ini.size()), &put, nullptr);
    CloseHandle(h);

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    std::vector<double> empty, direct, helper;
    for (int i = 0; i < runs; ++i) {
        empty.push_back(TimeRun(bench + "empty_program.exe", nul));
        direct.push_back(TimeRun(work + "probe.exe x", nul));
        helper.push_back(TimeRun(work + "hp.exe x", nul));
    }
    CloseHandle(nul);
    const double e = Median(empty), d = Median(direct), hp = Median(helper);
    printf("runs %d\nmedian empty   %7.2f ms\nmedian direct  %7.2f ms\nmedian helper  %7.2f ms\n",
           runs, e, d, hp);
    printf("overhead ratio (helper - direct) / empty = %.2f\n", e > 0 ? (hp - d) / e : 0.0);
    return 0;
}
