// A target program for tests: records how it was started and exits as told.
//   PROBE_OUT   file to write the record to: command line, current directory, then NAME=value
//               for each name in PROBE_VARS (";"-separated; "<unset>" when missing)
//   PROBE_EXIT  exit code (decimal, default 0)
//   PROBE_SLEEP milliseconds to wait before exiting
//   PROBE_CTRLC exit code to end with when a Ctrl+C arrives (console build; without it the
//               system's default handling ends the probe)
//   PROBE_READY name of an event to set once the record is written and the handler is in
//   PROBE_AFTER file to create after the sleep: the probe outlived it
//   PROBE_ARGV  file to write the probe's own file path to, then argv[1], argv[2], ... as the
//               C runtime split the command line, one a line
//   PROBE_WIDE  file to write, as UTF-16 exactly as the system gives it: the command line, then
//               a line NAME=value for each name in PROBE_VARS (a value of no variable: <unset>)
// The console build also writes "probe stdout" to standard output and "probe stderr" to
// standard error.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// Environment values are read through the wide API: Wine's GetEnvironmentVariableA cuts
// values that hold double-byte characters.
bool Env(const std::string& name, std::string& value) {
    std::wstring wname(name.begin(), name.end());
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(wname.c_str(), buf, 32768);
    if (n == 0 || n >= 32768)
        return false;
    int len = WideCharToMultiByte(932, 0, buf, int(n), nullptr, 0, nullptr, nullptr);
    value.assign(size_t(len), '\0');
    WideCharToMultiByte(932, 0, buf, int(n), &value[0], len, nullptr, nullptr);
    return true;
}

#ifndef PROBE_WINDOWED
DWORD CtrlCExitCode = 0;

BOOL WINAPI EndOnCtrlC(DWORD event) {
    if (event != CTRL_C_EVENT)
        return FALSE;
    ExitProcess(CtrlCExitCode);
}
#endif

void Put(HANDLE h, const std::string& s) {
    DWORD put = 0;
    WriteFile(h, s.data(), DWORD(s.size()), &put, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    std::string out, vars, code, sleep, ctrlc, ready, argvOut;
#ifndef PROBE_WINDOWED
    if (Env("PROBE_CTRLC", ctrlc)) {
        CtrlCExitCode = DWORD(strtoul(ctrlc.c_str(), nullptr, 0));
        SetConsoleCtrlHandler(EndOnCtrlC, TRUE);
    }
#endif
    if (Env("PROBE_OUT", out)) {
        char cwd[MAX_PATH * 2];
        DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
        std::string rec = std::string(GetCommandLineA()) + "\n" + std::string(cwd, n) + "\n";
        if (Env("PROBE_VARS", vars)) {
            size_t start = 0;
            while (start <= vars.size()) {
                size_t semi = vars.find(';', start);
                std::string name = vars.substr(start, semi - start);
                std::string v;
                if (!name.empty())
                    rec += name + "=" + (Env(name, v) ? v : std::string("<unset>")) + "\n";
                if (semi == std::string::npos)
                    break;
                start = semi + 1;
            }
        }
        HANDLE f = CreateFileA(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            Put(f, rec);
            CloseHandle(f);
        }
    }
    if (Env("PROBE_ARGV", argvOut)) {
        char self[MAX_PATH * 2];
        std::string rec(self, GetModuleFileNameA(nullptr, self, sizeof self));
        for (int i = 1; i < argc; ++i)
            rec += "\n" + std::string(argv[i]);
        HANDLE f = CreateFileA(argvOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            Put(f, rec + "\n");
            CloseHandle(f);
        }
    }
    std::string wideOut;
    if (Env("PROBE_WIDE", wideOut)) {
        std::wstring rec = GetCommandLineW();
        Env("PROBE_VARS", vars);
        for (size_t start = 0; start < vars.size();) {
            size_t semi = vars.find(';', start);
            if (semi == std::string::npos)
                semi = vars.size();
            const std::wstring name(vars.begin() + start, vars.begin() + semi);
            start = semi + 1;
            static wchar_t value[32768];
            const DWORD n = GetEnvironmentVariableW(name.c_str(), value, 32768);
            rec += L"\n" + name + L"=" + (n ? std::wstring(value, n) : std::wstring(L"<unset>"));
        }
        HANDLE f = CreateFileA(wideOut.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            Put(f, std::string(reinterpret_cast<const char*>(rec.data()), rec.size() * 2));
            CloseHandle(f);
        }
    }
#ifndef PROBE_WINDOWED
    Put(GetStdHandle(STD_OUTPUT_HANDLE), "probe stdout\r\n");
    Put(GetStdHandle(STD_ERROR_HANDLE), "probe stderr\r\n");
#endif
    if (Env("PROBE_READY", ready)) {
        HANDLE ev = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str());
        if (ev) {
            SetEvent(ev);
            CloseHandle(ev);
        }
    }
    if (Env("PROBE_SLEEP", sleep))
        Sleep(DWORD(strtoul(sleep.c_str(), nullptr, 10)));
    std::string after;
    if (Env("PROBE_AFTER", after)) {
        HANDLE f = CreateFileA(after.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
    }
    return Env("PROBE_EXIT", code) ? int(strtoul(code.c_str(), nullptr, 0)) : 0;
}
