#include "TestSupport.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "Handle.h"

namespace testing_support {

namespace {

void ReadAll(HANDLE h, std::string* into) {
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        into->append(buf, got);
}

std::string ParentOf(const std::string& dir) {
    // dir ends in "\"; drop the last component.
    size_t end = dir.size() - 1;
    size_t p = dir.rfind('\\', end - 1);
    return p == std::string::npos ? dir : dir.substr(0, p + 1);
}

// The environment block of this process with the requested changes (names compared
// without regard to case, as Windows does).
std::string BuildEnvironment(const RunOptions& opt) {
    std::vector<std::string> vars;
    char* block = GetEnvironmentStringsA();
    for (char* p = block; p && *p; p += strlen(p) + 1)
        vars.emplace_back(p);
    if (block)
        FreeEnvironmentStringsA(block);
    auto nameOf = [](const std::string& v) {
        size_t eq = v.find('=', 1); // "=C:=C:\" style entries start with '='
        return v.substr(0, eq);
    };
    auto drop = [&](const std::string& name) {
        for (size_t i = 0; i < vars.size();) {
            if (lstrcmpiA(nameOf(vars[i]).c_str(), name.c_str()) == 0)
                vars.erase(vars.begin() + i);
            else
                ++i;
        }
    };
    for (const auto& n : opt.unsetEnv)
        drop(n);
    for (const auto& kv : opt.setEnv) {
        drop(kv.first);
        vars.push_back(kv.first + "=" + kv.second);
    }
    std::string out;
    for (const auto& v : vars) {
        out += v;
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

} // namespace

std::string TestBinDir() {
    char buf[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string p(buf, n);
    size_t s = p.find_last_of("\\/");
    return s == std::string::npos ? std::string() : p.substr(0, s + 1);
}

std::string DistDir() {
    return ParentOf(TestBinDir()) + "dist\\";
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f.Valid())
        return false;
    ReadAll(f.Get(), &bytes);
    return true;
}

std::string ReadFileBytes(const std::string& path) {
    std::string b;
    ReadFileBytes(path, b);
    return b;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid())
        return false;
    DWORD put = 0;
    if (!bytes.empty() && (!WriteFile(f.Get(), bytes.data(), DWORD(bytes.size()), &put, nullptr) ||
                           put != bytes.size()))
        return false;
    return true;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDir(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyOneFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

namespace {
// Wide calls: a test may leave names behind that code page 932 cannot spell.
bool DeleteTreeW(std::wstring p) {
    while (!p.empty() && (p.back() == '\\' || p.back() == '/'))
        p.pop_back();
    DWORD a = GetFileAttributesW(p.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return true;
    if (a & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(p.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileW(p.c_str()) != 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((p + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        std::vector<std::wstring> names;
        do {
            std::wstring n = fd.cFileName;
            if (n != L"." && n != L"..")
                names.push_back(n);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        for (const auto& n : names)
            DeleteTreeW(p + L"\\" + n);
    }
    return RemoveDirectoryW(p.c_str()) != 0;
}
} // namespace

bool DeleteTree(const std::string& path) {
    return DeleteTreeW(AnsiToWide(path));
}

ScratchDir::ScratchDir(const std::string& name) {
    std::string root = ParentOf(TestBinDir()) + "scratch\\";
    CreateDirectoryA(root.c_str(), nullptr);
    path_ = root + name + "\\";
    DeleteTree(path_);
    ok_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
}

std::string CurrentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info)
        return "unnamed";
    std::string n = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : n)
        if (c == '/' || c == '\\' || c == ':')
            c = '_';
    return n;
}

namespace {

// The same environment as UTF-16, so that values any script can hold reach the child whole.
std::wstring BuildEnvironmentW(const RunOptions& opt) {
    std::vector<std::wstring> vars;
    wchar_t* block = GetEnvironmentStringsW();
    for (wchar_t* p = block; p && *p; p += wcslen(p) + 1)
        vars.emplace_back(p);
    if (block)
        FreeEnvironmentStringsW(block);
    auto drop = [&](const std::wstring& name) {
        for (size_t i = 0; i < vars.size();) {
            if (lstrcmpiW(vars[i].substr(0, vars[i].find('=', 1)).c_str(), name.c_str()) == 0)
                vars.erase(vars.begin() + i);
            else
                ++i;
        }
    };
    for (const auto& n : opt.unsetEnv)
        drop(AnsiToWide(n));
    auto set = [&](const std::wstring& name, const std::wstring& value) {
        drop(name);
        vars.push_back(name + L"=" + value);
    };
    for (const auto& kv : opt.setEnv)
        set(AnsiToWide(kv.first), AnsiToWide(kv.second));
    for (const auto& kv : opt.setEnvWide)
        set(kv.first, kv.second);
    std::wstring out;
    for (const auto& v : vars) {
        out += v;
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

// Runs the child that create starts with the given standard handles, as RunProcess describes.
ProcResult
RunWith(const RunOptions& opt,
        const std::function<BOOL(HANDLE, HANDLE, HANDLE, PROCESS_INFORMATION&)>& create) {
    ProcResult r;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE inR = nullptr, inW = nullptr, outR = nullptr, outW = nullptr, errR = nullptr,
           errW = nullptr;
    if (!CreatePipe(&inR, &inW, &sa, 0) || !CreatePipe(&outR, &outW, &sa, 0) ||
        !CreatePipe(&errR, &errW, &sa, 0))
        return r;
    TKernelHandle hInR(inR), hInW(inW), hOutR(outR), hOutW(outW), hErrR(errR), hErrW(errW);
    SetHandleInformation(inW, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(outR, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errR, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION pi{};
    // Wine's 64-bit loader now and then fails a start among many at once with an internal
    // error; the same start is tried again.
    BOOL ok = FALSE;
    for (int attempt = 0; !ok && attempt < 5; ++attempt) {
        ok = create(inR, outW, errW, pi);
        if (!ok && GetLastError() != ERROR_INTERNAL_ERROR)
            break;
    }
    if (!ok) {
        r.startError = GetLastError();
        r.exitCode = ~0u; // never the code of a program that ran
        return r;
    }
    r.started = true;
    TKernelHandle proc(pi.hProcess), thread(pi.hThread);
    hInR.Close();
    hOutW.Close();
    hErrW.Close();

    if (!opt.stdinData.empty()) {
        DWORD put = 0;
        WriteFile(inW, opt.stdinData.data(), DWORD(opt.stdinData.size()), &put, nullptr);
    }
    hInW.Close();
    if (opt.afterStart)
        opt.afterStart();

    // Poll both pipes so neither can fill up and block the child. They close when the child
    // and everything that inherited them have ended; a grandchild that keeps them open gets a
    // short grace period after the child's end.
    struct Pipe {
        HANDLE h;
        std::string* into;
        bool open;
    } pipes[2] = {{outR, &r.out, true}, {errR, &r.err, true}};
    DWORD start = GetTickCount();
    DWORD exitedAt = 0;
    bool exited = false;
    for (;;) {
        bool gotData = false;
        for (auto& p : pipes) {
            if (!p.open)
                continue;
            DWORD avail = 0;
            if (!PeekNamedPipe(p.h, nullptr, 0, nullptr, &avail, nullptr)) {
                p.open = false;
                continue;
            }
            if (avail > 0) {
                std::string buf(avail, '\0');
                DWORD got = 0;
                if (ReadFile(p.h, &buf[0], avail, &got, nullptr) && got > 0) {
                    p.into->append(buf.data(), got);
                    gotData = true;
                }
            }
        }
        if (!pipes[0].open && !pipes[1].open)
            break;
        if (!exited && WaitForSingleObject(proc.Get(), 0) == WAIT_OBJECT_0) {
            exited = true;
            exitedAt = GetTickCount();
        }
        if (exited && (!opt.waitForChild || GetTickCount() - exitedAt > 2000))
            break;
        if (!opt.waitForChild && !exited && GetTickCount() - start > 200)
            break;
        if (!exited && GetTickCount() - start > opt.timeoutMs) {
            r.timedOut = true;
            TerminateProcess(proc.Get(), 0xDEAD);
            WaitForSingleObject(proc.Get(), 5000);
            exited = true;
            exitedAt = GetTickCount();
        }
        if (!gotData)
            Sleep(1);
    }
    if (opt.waitForChild) {
        WaitForSingleObject(proc.Get(), INFINITE);
        GetExitCodeProcess(proc.Get(), &r.exitCode);
    }
    return r;
}

// The same loader failure can strike a start the program under test makes (a helper starting
// its target, under the load of other suites); the console helpers report it with its code, and
// nothing ran, so the whole line is run again.
ProcResult RunAgainOnLoaderFailure(
    const RunOptions& opt,
    const std::function<BOOL(HANDLE, HANDLE, HANDLE, PROCESS_INFORMATION&)>& create) {
    const std::string failed = " Code = " + std::to_string(ERROR_INTERNAL_ERROR);
    ProcResult r = RunWith(opt, create);
    for (int attempt = 0; attempt < 3 && r.exitCode == 1 && !r.timedOut &&
                          (r.out + r.err).find(failed) != std::string::npos;
         ++attempt)
        r = RunWith(opt, create);
    return r;
}

template <class StartupInfo> StartupInfo StandardHandles(HANDLE in, HANDLE out, HANDLE err) {
    StartupInfo si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    return si;
}

} // namespace

ProcResult RunProcess(const std::string& cmdline, const RunOptions& opt) {
    return RunAgainOnLoaderFailure(
        opt, [&](HANDLE in, HANDLE out, HANDLE err, PROCESS_INFORMATION& pi) {
            STARTUPINFOA si = StandardHandles<STARTUPINFOA>(in, out, err);
            std::string env = BuildEnvironment(opt);
            std::vector<char> line(cmdline.begin(), cmdline.end());
            line.push_back('\0');
            return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, env.data(),
                                  opt.cwd.empty() ? nullptr : opt.cwd.c_str(), &si, &pi);
        });
}

ProcResult RunProcessW(const std::wstring& cmdline, const RunOptions& opt) {
    return RunAgainOnLoaderFailure(opt, [&](HANDLE in, HANDLE out, HANDLE err,
                                            PROCESS_INFORMATION& pi) {
        STARTUPINFOW si = StandardHandles<STARTUPINFOW>(in, out, err);
        std::wstring env = BuildEnvironmentW(opt);
        std::wstring line = cmdline;
        const std::wstring cwd = AnsiToWide(opt.cwd);
        return CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                              &env[0], cwd.empty() ? nullptr : cwd.c_str(), &si, &pi);
    });
}

std::vector<ProcResult> RunAll(const std::vector<std::string>& cmdlines, const RunOptions& opt) {
    std::vector<ProcResult> results(cmdlines.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < cmdlines.size(); ++i)
        threads.emplace_back([&, i] { results[i] = RunProcess(cmdlines[i], opt); });
    for (auto& t : threads)
        t.join();
    return results;
}

std::map<std::string, std::string> FolderFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::string n = fd.cFileName;
        if (n == "." || n == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files[n + "\\"] = "";
        else
            files[n] = ReadFileBytes(dir + n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return files;
}

void AliasFolderTest::SetUp() {
    ASSERT_TRUE(dir.Ok());
    for (const char* f : {"alias.exe", "rudi.ex_", "dovoz.ex_"})
        ASSERT_TRUE(CopyOneFile(DistDir() + f, dir / f)) << f;
}

void HelperFolderTest::SetUp() {
    ASSERT_TRUE(dir.Ok());
    probe = dir / "probe.exe";
    ASSERT_TRUE(CopyOneFile(TestBinDir() + "probe_con.exe", probe));
    char win[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(win, MAX_PATH), 0u);
    comspec = std::string(win) + "\\system32\\cmd.exe";
}

ProcResult AliasFolderTest::Alias(const std::string& args, RunOptions o) {
    if (o.cwd.empty())
        o.cwd = dir.Path();
    return RunProcess(Quote(dir / "alias.exe") + (args.empty() ? "" : " " + args), o);
}

int ProcessesUnder(const std::string& folder, bool kill) {
    int seen = 0;
    TFileHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)); // INVALID_HANDLE_VALUE: none
    if (!snap.Valid())
        return 0;
    PROCESSENTRY32 pe;
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32First(snap.Get(), &pe); more; more = Process32Next(snap.Get(), &pe)) {
        TKernelHandle p(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                    pe.th32ProcessID));
        if (!p.Valid())
            continue;
        char image[MAX_PATH * 2];
        DWORD n = sizeof image;
        if (QueryFullProcessImageNameA(p.Get(), 0, image, &n) && n >= folder.size() &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, image, int(folder.size()),
                           folder.c_str(), int(folder.size())) == CSTR_EQUAL) {
            ++seen;
            if (kill)
                TerminateProcess(p.Get(), 99);
        }
    }
    return seen;
}

std::string Quote(const std::string& s) {
    return s.find_first_of(" \t") == std::string::npos ? s : "\"" + s + "\"";
}

std::string Printable(const std::string& bytes) {
    std::string o;
    char b[8];
    for (unsigned char c : bytes) {
        if (c == '\r')
            o += "\\r";
        else if (c == '\n')
            o += "\\n\n";
        else if (c >= 0x20 && c < 0x7F)
            o.push_back(char(c));
        else {
            snprintf(b, sizeof b, "\\x%02X", c);
            o += b;
        }
    }
    return o;
}

std::string WideToAnsi(const std::wstring& w) {
    if (w.empty())
        return std::string();
    int n = WideCharToMultiByte(932, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(932, 0, w.data(), int(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Utf8(const std::wstring& w) {
    if (w.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring AnsiToWide(const std::string& s) {
    if (s.empty())
        return std::wstring();
    int n = MultiByteToWideChar(932, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(932, 0, s.data(), int(s.size()), &w[0], n);
    return w;
}

} // namespace testing_support
