// The start of the target, and the wait for it where the build asks for one.
#include "Stub.h"

#include "Format.h"
#include "Handle.h"
#include "Process.h"
#include "Text.h"

using namespace std::string_view_literals;

namespace {

// Ends every process in it once its last handle goes, however the helper ends; empty when refused.
void MakeKillOnCloseJob(TKernelHandle& job) {
    job.Reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Valid() && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                                &limits, sizeof limits))
        job.Reset();
}

// The report of a step after the start that failed, with the system's error.
std::string StepFailed(const char* what) {
    return Join({what, " Code = "sv, Decimal(GetLastError())});
}

} // namespace

TLaunchOutcome Launch(const TComposed& what, const TTargetHandling& how) {
    TLaunchOutcome out;
    PROCESS_INFORMATION pi;
    // Started suspended and resumed only once it is in the job, so nothing it starts escapes.
    out.Code = StartProcess(what.CommandLine, what.WorkDir.empty() ? nullptr : what.WorkDir.c_str(),
                            how.JoinErrorOutput, how.KillWithHelper ? CREATE_SUSPENDED : 0, pi);
    if (out.Code)
        return out;
    out.Started = true;
    TKernelHandle process(pi.hProcess);
    TKernelHandle thread(pi.hThread); // none for an elevated start, which already runs
    // Kept until the helper ends. Without one (refused, or the helper's own job forbids it) the
    // target runs as it would without the switch.
    TKernelHandle job;
    if (how.KillWithHelper) {
        MakeKillOnCloseJob(job);
        if (job.Valid() && !AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
        // A target left suspended would keep the helper waiting for ever.
        if (thread.Valid() && ResumeThread(thread.Get()) == DWORD(-1)) {
            out.Error = StepFailed("プログラムを再開できません。");
            TerminateProcess(process.Get(), 1);
            return out;
        }
    }
    thread.Reset();
    // A wait that fails says nothing of the target: reported, never its still-running code.
    if (how.Wait && (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0 ||
                     !GetExitCodeProcess(process.Get(), &out.Code)))
        out.Error = StepFailed("プログラムの終了を待てません。");
    return out;
}
