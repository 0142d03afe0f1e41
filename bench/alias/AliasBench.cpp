// Time of alias.exe's commands over definition files of 500, 2,000 and 10,000 aliases, per
// alias, and the ratio of the largest to the smallest: registration (one alias into the full
// file), /apply with every helper missing ("apply-new") and with every helper present
// ("apply-kept"), /update (every helper present), /list, /check (every helper present and
// current, the folder on PATH after the system's folders; every other alias a console alias
// whose program, working folder and env: entry are checked, the others DOS aliases). "copies"
// is the same number of template copies into an empty folder made by this program alone: what
// creating the files costs the file system, without alias.exe.
//   alias_bench [runs]     runs per registration and /list figure (median), default 5
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string OwnDir() {
    char buf[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    return p.substr(0, p.find_last_of("\\/") + 1);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    return ok;
}

void EmptyFolder(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((dir + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::string EnvironmentText(const char* name) {
    char buf[32768];
    const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n < sizeof buf ? std::string(buf, n) : std::string();
}

// Runs alias.exe in dir with its output thrown away; milliseconds, or -1 on failure.
double Run(const std::string& dir, const std::string& args) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + dir + "alias.exe\" " + args;
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    BOOL ok = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(),
                             &si, &pi);
    DWORD code = 1;
    if (ok) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    QueryPerformanceCounter(&t1);
    CloseHandle(nul);
    if (!ok || code != 0)
        return -1;
    return double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds to copy the template to n new names in an empty folder; -1 on failure.
double CopiesAlone(const std::string& dir, const std::string& templ, int n) {
    CreateDirectoryA(dir.c_str(), nullptr);
    EmptyFolder(dir);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    bool ok = true;
    for (int i = 0; i < n && ok; ++i)
        ok = CopyFileA(templ.c_str(), (dir + "a" + std::to_string(i) + ".exe").c_str(), TRUE);
    QueryPerformanceCounter(&t1);
    EmptyFolder(dir);
    RemoveDirectoryA(dir.c_str());
    return ok ? double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart) : -1;
}

struct Figures {
    double reg, applyNew, applyKept, update, list, check, copies; // milliseconds
};

const int kFigures = 7;
const char* const kNames[kFigures] = {"register", "apply-new", "apply-kept", "/update",
                                      "/list",    "/check",    "copies"};

void Print(const char* label, const double (&v)[kFigures], const char* unit) {
    printf("%-16s", label);
    for (int i = 0; i < kFigures; ++i)
        printf("  %s %9.2f %s", kNames[i], v[i], unit);
    printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0); // figures appear as they are measured
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const std::string dist = OwnDir() + "..\\dist\\";
    const int sizes[] = {500, 2000, 10000};
    std::vector<Figures> all;
    for (int n : sizes) {
        const std::string dir = OwnDir() + "alias-bench-" + std::to_string(n) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        EmptyFolder(dir);
        for (const char* f : {"alias.exe", "rudi.ex_", "dovoz.ex_"})
            CopyFileA((dist + f).c_str(), (dir + f).c_str(), FALSE);
        std::string ini = "\r\n";
        for (int i = 0; i < n; ++i)
            ini += "[a" + std::to_string(i) +
                   "]\r\ntype=DOS\r\napp=echo\r\nparam=" + std::to_string(i) + "\r\ndir=\r\n\r\n";
        if (!WriteBytes(dir + "alias.ini", ini)) {
            printf("cannot write %salias.ini\n", dir.c_str());
            return 1;
        }
        Figures fig{};
        fig.applyNew = Run(dir, "/apply");
        fig.applyKept = Run(dir, "/apply");
        fig.update = Run(dir, "/update");
        std::vector<double> reg, list;
        for (int r = 0; r < runs; ++r) {
            reg.push_back(Run(dir, "/dos new echo x"));
            list.push_back(Run(dir, "/list"));
        }
        fig.reg = Median(reg);
        fig.list = Median(list);
        // The helpers are all console helpers, as the console aliases need.
        std::string checked = "[new]\r\ntype=DOS\r\napp=echo\r\n";
        for (int i = 0; i < n; ++i)
            checked += "[a" + std::to_string(i) + "]\r\n" +
                       (i % 2 ? "type=console\r\napp=" + dir + "alias.exe\r\ndir=" + dir +
                                    "\r\nenv:BENCH=%PATH%;x\r\n"
                              : "type=DOS\r\napp=echo\r\n") +
                       "\r\n";
        const std::string path = EnvironmentText("PATH");
        if (!WriteBytes(dir + "alias.ini", checked) ||
            !SetEnvironmentVariableA("PATH", (path + ";" + dir).c_str())) {
            printf("cannot prepare /check at %d aliases\n", n);
            return 1;
        }
        std::vector<double> check;
        for (int r = 0; r < runs; ++r)
            check.push_back(Run(dir, "/check"));
        fig.check = Median(check);
        SetEnvironmentVariableA("PATH", path.c_str());
        EmptyFolder(dir);
        RemoveDirectoryA(dir.c_str());
        fig.copies =
            CopiesAlone(OwnDir() + "copy-bench-" + std::to_string(n) + "\\", dist + "dovoz.ex_", n);
        if (fig.applyNew < 0 || fig.applyKept < 0 || fig.update < 0 || fig.reg < 0 ||
            fig.list < 0 || fig.check < 0 || fig.copies < 0) {
            printf("a command failed at %d aliases\n", n);
            return 1;
        }
        const double ms[kFigures] = {fig.reg,  fig.applyNew, fig.applyKept, fig.update,
                                     fig.list, fig.check,    fig.copies};
        double us[kFigures];
        for (int i = 0; i < kFigures; ++i)
            us[i] = ms[i] * 1000 / n;
        Print((std::to_string(n) + " aliases").c_str(), ms, "ms");
        Print("  per alias", us, "us");
        all.push_back(fig);
    }
    const Figures& a = all.front();
    const Figures& b = all.back();
    const double k = double(sizes[0]) / sizes[2];
    const double ratio[kFigures] = {
        b.reg / a.reg * k,       b.applyNew / a.applyNew * k, b.applyKept / a.applyKept * k,
        b.update / a.update * k, b.list / a.list * k,         b.check / a.check * k,
        b.copies / a.copies * k};
    char label[64];
    snprintf(label, sizeof label, "at %d / at %d", sizes[2], sizes[0]);
    printf("per-alias time ratio, ");
    Print(label, ratio, "");
    return 0;
}
