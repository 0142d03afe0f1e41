// What a helper command costs over starting its target directly, measured in process starts.
// Times, interleaved, starts of an empty program, of the probe started directly and of the
// probe started through the console helper command with "alias.ini" holding 1, 1,000 and
// 10,000 aliases (its own last, every one with Japanese in its values and an "env:" entry, about
// 1.1 MB), in code page 932 and in UTF-8, and with "killtarget" on;
// prints the medians and (median(helper) - median(direct)) / median(empty) for each. The
// windowed helper is timed to its own end (it does not wait for its target). A second argument
// names the folder of another build's templates (an older one, say) to time the same way, side
// by side in the same run. Run it pinned to one CPU (README).
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

// Milliseconds for one start-to-end run of cmdline. Whatever the run leaves running (the target
// of a windowed helper) is waited for afterwards, so that it does not slow the next run.
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
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                        nullptr, &si, &pi))
        return -1;
    AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&b);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    while (QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                     nullptr) &&
           info.ActiveProcesses > 0)
        Sleep(1);
    CloseHandle(job);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

static void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
    CloseHandle(h);
}

static long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) ? long(a.nFileSizeLow)
                                                                         : -1;
}

struct Setup {
    const char* label;
    int aliases;
    bool kill;
    bool windowed;
    bool other; // the other build's template
    bool utf8;  // the file in UTF-8 (Notepad's), else in code page 932
    std::string exe;
    std::vector<double> times;
};

// The file's text, written in code page 932 or UTF-8.
static std::string Encoded(const std::wstring& text, bool utf8) {
    const UINT cp = utf8 ? CP_UTF8 : 932;
    const int n =
        WideCharToMultiByte(cp, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(n), '\0');
    WideCharToMultiByte(cp, 0, text.data(), int(text.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 100;
    const std::string bench = Dir(), tests = bench + "..\\tests\\", dist = bench + "..\\dist\\";
    printf("template rudi.ex_ %ld bytes, dovoz.ex_ %ld bytes\n", FileSize(dist + "rudi.ex_"),
           FileSize(dist + "dovoz.ex_"));
    std::vector<Setup> setups = {
        {"1 alias", 1, false, false, false, false, "", {}},
        {"1,000 aliases", 1000, false, false, false, false, "", {}},
        {"10,000 aliases", 10000, false, false, false, false, "", {}},
        {"1 alias, UTF-8", 1, false, false, false, true, "", {}},
        {"10,000 aliases, UTF-8", 10000, false, false, false, true, "", {}},
        {"1 alias, killtarget=on", 1, true, false, false, false, "", {}},
        {"windowed, 1 alias", 1, false, true, false, false, "", {}}};
    const std::string other = argc > 2 ? std::string(argv[2]) + "\\" : "";
    if (!other.empty()) {
        printf("other build %s: rudi.ex_ %ld bytes, dovoz.ex_ %ld bytes\n", other.c_str(),
               FileSize(other + "rudi.ex_"), FileSize(other + "dovoz.ex_"));
        setups.push_back({"1 alias (other)", 1, false, false, true, false, "", {}});
        setups.push_back({"10,000 aliases (other)", 10000, false, false, true, false, "", {}});
        setups.push_back({"windowed, 1 alias (other)", 1, false, true, true, false, "", {}});
    }
    const std::string probe = bench + "launch\\probe.exe";
    CreateDirectoryA((bench + "launch").c_str(), nullptr);
    CopyFileA((tests + "probe_con.exe").c_str(), probe.c_str(), FALSE);
    for (size_t k = 0; k < setups.size(); ++k) {
        Setup& s = setups[k];
        const std::string work = bench + "launch\\" + std::to_string(k) + "\\";
        CreateDirectoryA(work.c_str(), nullptr);
        s.exe = work + "hp.exe x";
        const std::string from = (s.other ? other : dist) + (s.windowed ? "rudi.ex_" : "dovoz.ex_");
        CopyFileA(from.c_str(), (work + "hp.exe").c_str(), FALSE);
        // As a large real file: each alias with Japanese in its values and an env: entry.
        std::wstring ini;
        for (int i = 1; i < s.aliases; ++i) {
            const std::wstring n = std::to_wstring(i);
            ini += L"[tool" + n + L"]\r\ntype=console\r\napp=C:\\\u30c4\u30fc\u30eb\\tool" + n +
                   L".exe\r\nparam=-q\r\ndir=C:\\\u4f5c\u696d\r\nenv:TOOL_HOME=C:\\tools\r\n";
        }
        std::wstring probeW(probe.begin(), probe.end());
        ini += L"[hp]\r\ntype=console\r\napp=" + probeW +
               L"\r\nparam=-q\r\nenv:TOOL_HOME=C:\\tools\r\nenv:TITLE=\u58f2\u4e0a\r\n";
        if (s.kill)
            ini += L"killtarget=on\r\n";
        WriteBytes(work + "alias.ini", Encoded(ini, s.utf8));
    }

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    std::vector<double> empty, direct;
    for (int i = 0; i < runs; ++i) {
        empty.push_back(TimeRun(bench + "empty_program.exe", nul));
        direct.push_back(TimeRun(probe + " x", nul));
        for (Setup& s : setups)
            s.times.push_back(TimeRun(s.exe, nul));
    }
    CloseHandle(nul);
    const double e = Median(empty), d = Median(direct);
    printf("runs %d\nmedian empty   %7.2f ms\nmedian direct  %7.2f ms\n", runs, e, d);
    for (const Setup& s : setups) {
        const double hp = Median(s.times);
        printf("helper, %-24s median %7.2f ms  overhead ratio %.2f\n", s.label, hp,
               e > 0 ? (hp - d) / e : 0.0);
    }
    return 0;
}
