// The helper command: started as <name>.exe, it reads the alias <name> from "alias.ini" and
// starts its target. Built twice: with ConsoleBuild (waits, hands on the exit code, reports on
// standard output) and without (starts and ends at once, reports in a message box).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ExtIniFile.h"
#include "ProgramPaths.h"
#include "TextUtils.h"

#ifndef ConsoleBuild
#define ConsoleBuild 0
#endif

namespace {

// Start-up state.
bool IsNtPlatform = false;
std::string ComSpecPath;
std::string ExePath;
std::string ExeDir;
std::string AliasName;
std::string WinDir;
std::unique_ptr<TExtIniFile> IniFile;
bool IniLoaded = false;

// Composition state.
std::string AppPath;
std::string AppType;
std::string ParamText;
std::string ArgText;
std::string CommandLine;
std::string WorkDir;

// GetEnvironmentVariableA into a buffer that grows to the size the value needs.
bool ReadEnvironment(const char* name, std::string& value) {
    std::string buf(260, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD n = GetEnvironmentVariableA(name, &buf[0], DWORD(buf.size()));
        if (n == 0)
            return false;
        if (n < buf.size()) {
            buf.resize(n);
            value = buf;
            return true;
        }
        buf.assign(n, '\0');
    }
    return false;
}

void ReportError(const std::string& text) {
#if ConsoleBuild
    const std::string line = "error: " + text + "\r\n";
    DWORD put = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), DWORD(line.size()), &put, nullptr);
#else
    // user32 is loaded only here, so a normal start does not pay for it.
    using MessageBoxFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
    if (HMODULE user32 = LoadLibraryA("user32.dll")) {
        auto box = reinterpret_cast<MessageBoxFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "MessageBoxA")));
        if (box)
            box(nullptr, text.c_str(), "Orvex エラー", MB_OK);
        FreeLibrary(user32);
    }
#endif
}

std::string FindDefinitionFile() {
    return FindDefinitionFileIn(ExeDir, WinDir);
}

void InitStub() {
    OSVERSIONINFOA ver;
    ZeroMemory(&ver, sizeof ver);
    ver.dwOSVersionInfoSize = 148;
    IsNtPlatform = GetVersionExA(&ver) && ver.dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (!ReadEnvironment("COMSPEC", ComSpecPath))
        ComSpecPath = IsNtPlatform ? "cmd.exe" : "command.com";
    ExePath = ModuleFilePath();
    ExeDir = DirectoryPart(ExePath);
    const std::string file = ExePath.substr(ExeDir.size());
    const size_t dot = LastCharPos(".", file);
    AliasName = dot ? file.substr(0, dot - 1) : file; // no extension: the whole name
    WinDir = WindowsDirectory();
    IniFile.reset(new TExtIniFile);
    IniLoaded = IniFile->LoadFromFile(FindDefinitionFile());
}

std::string ReadAliasValue(const std::string& section, const std::string& key) {
    return IniLoaded ? IniFile->ReadValue(section, key, std::string()) : std::string();
}

std::string ExpandEnvText(const std::string& text) {
    if (text.empty())
        return text;
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (n == 0)
        return text;
    std::string buf(n, '\0');
    DWORD m = ExpandEnvironmentStringsA(text.c_str(), &buf[0], n);
    if (m == 0 || m > n)
        return text;
    buf.resize(m - 1);
    return buf.c_str();
}

void ApplyAliasEnvironment() {
    if (!IniLoaded)
        return;
    const TExtIniSection* s = IniFile->FindSection(AliasName);
    if (!s)
        return;
    std::string name, value;
    for (const TExtIniItem* item = s->ItemAt(0); item; item = item->Next()) {
        if (!ReadEnvEntry(*item, name, value))
            continue;
        value = ExpandEnvText(value);
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
}

bool ComposeCommand() {
    AppType = ReadAliasValue(AliasName, "type");
    if (MbcsPos("dos", LowerAscii(AppType)) != 0) {
        AppPath = ComSpecPath + " /c " + QuoteIfSpaced(AppPath);
    } else {
        const std::string fileName = AppPath.substr(LastCharPos("\\/", AppPath));
        if (LastCharPos(".", fileName) == 0)
            AppPath += ".exe";
        bool found;
        if (LastCharPos("\\/", AppPath) == 0) {
            std::string full;
            found = SearchProgramFile(AppPath, full);
            if (found)
                AppPath = full;
        } else {
            found = FileFound(AppPath);
        }
        if (!found) {
            ReportError("プログラム " + AppPath + " が見つかりません。");
            return false;
        }
    }
    ParamText = ReadAliasValue(AliasName, "param");
    const std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
    ArgText.clear();
    for (size_t i = 1; i < args.size(); ++i)
        ArgText += " " + QuoteIfSpaced(args[i]);
    CommandLine = AppPath + " " + ParamText + " " + ArgText;
    return true;
}

bool CheckWorkDir() {
    WorkDir = ReadAliasValue(AliasName, "dir");
    if (!WorkDir.empty() && !IsDirectory(WorkDir)) {
        ReportError("ディレクトリ " + WorkDir + " が見つかりません。");
        return false;
    }
    return true;
}

std::string IntToDecimal(uint32_t n) {
    std::string s;
    do {
        s.insert(s.begin(), char('0' + n % 10));
        n /= 10;
    } while (n);
    return s;
}

#if ConsoleBuild
bool IsSwitchOn(const std::string& section, const std::string& key) {
    const std::string v = LowerAscii(ReadAliasValue(section, key));
    if (v == "on")
        return true;
    if (v == "off")
        return false;
    return LowerAscii(ReadAliasValue("alias", key)) == "on";
}

// The console build stands in for its target at the prompt: Ctrl+C and Ctrl+Break are the
// target's to handle, and the stub must live on to hand back its exit code.
BOOL WINAPI SwallowBreak(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}
#endif

DWORD LaunchTarget() {
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    BOOL inherit = FALSE;
#if ConsoleBuild
    if (IsSwitchOn(AliasName, "stderr2stdout")) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
        inherit = TRUE;
    }
#endif
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    std::vector<char> line(CommandLine.begin(), CommandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, inherit, 0, nullptr,
                        WorkDir.empty() ? nullptr : WorkDir.c_str(), &si, &pi)) {
        const std::string code = IntToDecimal(GetLastError());
#if ConsoleBuild
        ReportError("プログラム " + CommandLine + "の起動に失敗しました。" + " Code = " + code);
#else
        ReportError("プログラムの起動に失敗しました。 Code = " + code + "\r" + CommandLine);
#endif
        return 1;
    }
    CloseHandle(pi.hThread);
    DWORD exitCode = 0;
#if ConsoleBuild
    WaitForSingleObject(pi.hProcess, INFINITE);
    if (!GetExitCodeProcess(pi.hProcess, &exitCode))
        exitCode = 1;
#endif
    CloseHandle(pi.hProcess);
    return exitCode;
}

DWORD Run() {
    InitStub();
    ApplyAliasEnvironment();
    AppPath = ReadAliasValue(AliasName, "app");
    if (AppPath.empty()) {
        ReportError(AliasName + " の定義が見つかりません。");
        return 1;
    }
    if (!ComposeCommand() || !CheckWorkDir())
        return 1;
    return LaunchTarget();
}

} // namespace

int main() {
#if ConsoleBuild
    SetConsoleCtrlHandler(SwallowBreak, TRUE);
#endif
    const DWORD code = Run();
    IniFile.reset();
    ExitProcess(code);
}
