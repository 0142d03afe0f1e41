// The start of the target, and the wait for it where the build asks for one.
#include "Stub.h"

#include <shellapi.h>

#include "CommandLine.h"
#include "Format.h"
#include "Handle.h"
#include "Text.h"

using namespace std::string_view_literals;

namespace {

// The system's error for a target whose manifest asks for administrator rights, which the
// toolchain's headers do not name.
constexpr DWORD kElevationRequired = 740;

// A job that ends every process in it once its last handle goes, which happens however the
// helper ends. Empty when the system refuses one.
void MakeKillOnCloseJob(TKernelHandle& job) {
    job.Reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Valid() && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                                &limits, sizeof limits))
        job.Reset();
}

// A target whose manifest asks for administrator rights starts as Explorer starts it: through
// the shell with the verb "runas", the system asking the user for consent. It gets a console of
// its own and the environment the system gives it. shell32 is loaded only here, so a normal
// start does not pay for it; false, with the system's error (ERROR_CANCELLED when the user
// declines), when nothing started.
bool StartElevated(const std::wstring& line, const wchar_t* dir, HANDLE& process) {
    using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    // Without shell32 the look-up is made in the helper itself, which exports nothing.
    const auto run = reinterpret_cast<ShellExecuteExFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "ShellExecuteExW")));
    if (!run)
        return false;
    const std::wstring program = ProgramNameToken(line);
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    // The rest of the line, unchanged; it ends where the line does, with its zero.
    info.lpParameters = CallerArgumentText(line).data();
    info.lpDirectory = dir;
    info.nShow = SW_SHOWNORMAL;
    if (!run(&info))
        return false;
    process = info.hProcess;
    return true;
}

} // namespace

TLaunchOutcome Launch(const TComposed& what, const TTargetHandling& how) {
    TLaunchOutcome out;
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    if (how.JoinErrorOutput) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = GetStdHandle(STD_OUTPUT_HANDLE);
    }
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    std::wstring line = what.CommandLine; // CreateProcessW may write into it
    const wchar_t* dir = what.WorkDir.empty() ? nullptr : what.WorkDir.c_str();
    // Started suspended and resumed only once it is in the job, so nothing it starts escapes.
    const DWORD flags = how.KillWithHelper ? CREATE_SUSPENDED : 0;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, how.JoinErrorOutput, flags, nullptr,
                        dir, &si, &pi)) {
        out.Code = GetLastError();
        if (out.Code != kElevationRequired)
            return out;
        if (!StartElevated(what.CommandLine, dir, pi.hProcess)) {
            out.Code = GetLastError();
            return out;
        }
        out.Code = 0;
    }
    out.Started = true;
    TKernelHandle process(pi.hProcess);
    TKernelHandle thread(pi.hThread); // none for an elevated start, which already runs
    // Kept until the helper ends. Without a job (the system refuses one, or the helper's own
    // job forbids it) the target runs as it would without the switch.
    TKernelHandle job;
    if (how.KillWithHelper) {
        MakeKillOnCloseJob(job);
        if (job.Valid() && !AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
        // A target left suspended would keep the helper waiting for ever.
        if (thread.Valid() && ResumeThread(thread.Get()) == DWORD(-1)) {
            const DWORD error = GetLastError();
            TerminateProcess(process.Get(), 1);
            out.Error = Join({"プログラムを再開できません。 Code = "sv, Decimal(error)});
            return out;
        }
    }
    thread.Reset();
    if (how.Wait) {
        WaitForSingleObject(process.Get(), INFINITE);
        if (!GetExitCodeProcess(process.Get(), &out.Code))
            out.Code = 1;
    }
    return out;
}
