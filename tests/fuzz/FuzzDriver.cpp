#include "FuzzDriver.h"

#include <windows.h>

#include "Handle.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

namespace {

const TTarget* gTarget = nullptr;
// The input being checked, for the crash and hang reports.
std::string gCurrent;
volatile LONG gProgress = 0;

void ReportCurrent(const char* what) {
    fprintf(stdout, "FAIL %s: %s\n  reproduce: tools/fuzz %s --replay %s\n", gTarget->name, what,
            gTarget->name, Hex(gCurrent).c_str());
    fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    char what[64];
    snprintf(what, sizeof what, "crash, exception 0x%08lX",
             info ? (unsigned long)info->ExceptionRecord->ExceptionCode : 0ul);
    ReportCurrent(what);
    ExitProcess(2);
}

void OnAbort(int) {
    ReportCurrent("crash, abort (a failed library assertion)");
    ExitProcess(2);
}

// Ends the run when one input takes longer than a generous bound.
DWORD WINAPI Watchdog(void*) {
    const int kStallSeconds = 20;
    LONG seen = gProgress;
    int still = 0;
    for (;;) {
        Sleep(1000);
        const LONG now = gProgress;
        still = now == seen ? still + 1 : 0;
        seen = now;
        if (still >= kStallSeconds) {
            ReportCurrent("hang, one input ran for 20 s");
            ExitProcess(3);
        }
    }
}

std::string Unhex(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += char(strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

std::vector<std::string> ReadCorpus(const std::string& dir) {
    std::vector<std::string> seeds;
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA((dir + "\\*").c_str(), &fd));
    if (!find.Valid())
        return seeds;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        TFileHandle f(CreateFileA((dir + "\\" + fd.cFileName).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!f.Valid())
            continue;
        std::string bytes(GetFileSize(f.Get(), nullptr), '\0');
        DWORD got = 0;
        if (!bytes.empty() && ReadFile(f.Get(), &bytes[0], DWORD(bytes.size()), &got, nullptr))
            bytes.resize(got);
        if (bytes.size() <= 65536)
            seeds.push_back(bytes);
    } while (FindNextFileA(find.Get(), &fd));
    return seeds;
}

std::string MakeWorkDir(const char* name, std::string dir) {
    if (dir.empty()) {
        char buf[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
        dir.assign(buf, n);
        dir = dir.substr(0, dir.find_last_of("\\/") + 1);
    } else if (dir.back() != '\\') {
        dir += '\\';
    }
    // Runs side by side (CTest, a long run by hand) each get a folder of their own.
    char tail[64];
    snprintf(tail, sizeof tail, "fuzz-%s-%lu\\", name, (unsigned long)GetCurrentProcessId());
    dir += tail;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string gWorkDir;

void RemoveWorkDir() {
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA((gWorkDir + "*").c_str(), &fd));
    if (find.Valid()) {
        do
            DeleteFileA((gWorkDir + fd.cFileName).c_str());
        while (FindNextFileA(find.Get(), &fd));
        find.Reset(); // before the folder goes
    }
    RemoveDirectoryA(gWorkDir.c_str());
}

} // namespace

const std::string& WorkDir() {
    return gWorkDir;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD put = 0;
    return f.Valid() &&
           (bytes.empty() ||
            (WriteFile(f.Get(), bytes.data(), DWORD(bytes.size()), &put, nullptr) &&
             put == bytes.size())) &&
           f.Close();
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char c : bytes) {
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

size_t Below(std::mt19937& rng, size_t n) {
    return n ? rng() % n : 0;
}

void InsertAt(std::mt19937& rng, std::string& s, const std::string& piece) {
    s.insert(Below(rng, s.size() + 1), piece);
}

void DeleteRange(std::mt19937& rng, std::string& s) {
    if (s.empty())
        return;
    const size_t at = Below(rng, s.size());
    s.erase(at, 1 + Below(rng, rng() % 4 ? 8 : s.size() - at));
}

void CopyRange(std::mt19937& rng, std::string& s) {
    if (s.empty())
        return;
    const size_t at = Below(rng, s.size());
    const std::string piece = s.substr(at, 1 + Below(rng, 64));
    InsertAt(rng, s, piece);
}

void SpliceWith(std::mt19937& rng, std::string& s, const std::string& other) {
    s = s.substr(0, Below(rng, s.size() + 1)) + other.substr(Below(rng, other.size() + 1));
}

int Main(int argc, char** argv, const TTarget& target) {
    gTarget = &target;
    uint64_t inputs = 0;
    double seconds = 0;
    uint32_t seed = 1;
    std::string corpus, replay, work;
    bool haveReplay = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--inputs")
            inputs = strtoull(argv[i + 1], nullptr, 10);
        else if (opt == "--seconds")
            seconds = atof(argv[i + 1]);
        else if (opt == "--seed")
            seed = uint32_t(strtoul(argv[i + 1], nullptr, 10));
        else if (opt == "--work")
            work = argv[i + 1];
        else if (opt == "--corpus")
            corpus = argv[i + 1];
        else if (opt == "--replay")
            replay = Unhex(argv[i + 1]), haveReplay = true;
        else {
            fprintf(stderr, "unknown option %s\n", argv[i]);
            return 64;
        }
    }
    if (!inputs && !seconds)
        inputs = 10000;

    gWorkDir = MakeWorkDir(target.name, work);
    SetUnhandledExceptionFilter(OnCrash);
    signal(SIGABRT, OnAbort);
    TKernelHandle watchdog(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));

    if (haveReplay) {
        gCurrent = replay;
        const std::string what = target.check(replay);
        RemoveWorkDir();
        printf("%s: replay %s\n", target.name, what.empty() ? "passes" : what.c_str());
        return what.empty() ? 0 : 1;
    }

    std::vector<std::string> seeds =
        corpus.empty() ? std::vector<std::string>() : ReadCorpus(corpus);
    if (seeds.empty())
        seeds = target.builtinSeeds();
    std::mt19937 rng(seed);
    const DWORD start = GetTickCount();
    uint64_t done = 0, failures = 0;
    for (;;) {
        const double elapsed = (GetTickCount() - start) / 1000.0;
        if ((inputs && done >= inputs) || (seconds && elapsed >= seconds))
            break;
        gCurrent = target.make(rng, seeds);
        const std::string what = target.check(gCurrent);
        InterlockedIncrement(&gProgress);
        ++done;
        if (!what.empty()) {
            ++failures;
            ReportCurrent(what.c_str());
            if (failures >= 20) {
                printf("%s: stopping after 20 failures\n", target.name);
                break;
            }
        }
        if (done % 100000 == 0) {
            printf("%s: %llu inputs, %.0f s\n", target.name, (unsigned long long)done, elapsed);
            fflush(stdout);
        }
    }
    RemoveWorkDir();
    printf("%s: %llu inputs, %.1f s, failures: %llu, seed %lu, %u seeds\n", target.name,
           (unsigned long long)done, (GetTickCount() - start) / 1000.0,
           (unsigned long long)failures, (unsigned long)seed, unsigned(seeds.size()));
    return failures ? 1 : 0;
}

} // namespace fuzz
