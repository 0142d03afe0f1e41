// The start of the target, and the wait for it where the build asks for one.
#include "Stub.h"

#include "Format.h"
#include "Handle.h"
#include "Text.h"

using namespace std::string_view_literals;

namespace {

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
    // Started suspended and resumed only once it is in the job, so nothing it starts escapes.
    const DWORD flags = how.KillWithHelper ? CREATE_SUSPENDED : 0;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, how.JoinErrorOutput, flags, nullptr,
                        what.WorkDir.empty() ? nullptr : what.WorkDir.c_str(), &si, &pi)) {
        out.Code = GetLastError();
        return out;
    }
    out.Started = true;
    TKernelHandle process(pi.hProcess);
    TKernelHandle thread(pi.hThread);
    // Kept until the helper ends. Without a job (the system refuses one, or the helper's own
    // job forbids it) the target runs as it would without the switch.
    TKernelHandle job;
    if (how.KillWithHelper) {
        MakeKillOnCloseJob(job);
        if (job.Valid() && !AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
        // A target left suspended would keep the helper waiting for ever.
        if (ResumeThread(thread.Get()) == DWORD(-1)) {
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
