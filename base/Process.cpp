#include "Process.h"

#include <shellapi.h>

#include "CommandLine.h"

namespace {

// ERROR_ELEVATION_REQUIRED, which the toolchain's headers do not name.
constexpr DWORD kElevationRequired = 740;

// shell32 is loaded only here, when it is needed, so that a normal start does not pay for loading
// it.
bool StartElevated(const std::wstring& line, const wchar_t* dir, HANDLE& process) {
    using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    // If shell32 cannot be loaded, LoadLibraryW returns null and GetProcAddress then looks in the
    // program itself, which exports nothing: run is null and the start fails cleanly.
    const auto run = reinterpret_cast<ShellExecuteExFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32"), "ShellExecuteExW")));
    if (!run)
        return false;
    const std::wstring program = ProgramNameToken(line);
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    // The parameters are the rest of the line, unchanged. This view ends where the line ends, so
    // the line's terminating zero follows it and it can be passed as a C string (or it is null when
    // there are no parameters).
    info.lpParameters = CallerArgumentText(line).data();
    info.lpDirectory = dir;
    info.nShow = SW_SHOWNORMAL;
    if (!run(&info))
        return false;
    process = info.hProcess;
    return true;
}

} // namespace

DWORD StartProcess(const std::wstring& line, const wchar_t* dir, bool joinErrorOutput, DWORD flags,
                   PROCESS_INFORMATION& pi) {
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    if (joinErrorOutput) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = si.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    ZeroMemory(&pi, sizeof pi);
    std::wstring writable = line; // CreateProcessW may write into it
    if (CreateProcessW(nullptr, &writable[0], nullptr, nullptr, joinErrorOutput, flags, nullptr,
                       dir, &si, &pi))
        return 0;
    const DWORD error = GetLastError();
    if (error != kElevationRequired)
        return error;
    return StartElevated(line, dir, pi.hProcess) ? 0 : GetLastError();
}
