// The start of the target, and the wait for it where the build asks for one.
#include "Stub.h"

#include "Handle.h"
#include "Process.h"
#include "Report.h"
#include "Reports.h"
#include "Text.h"

namespace {

// A job that ends every process in it when its last handle closes, which happens however the
// helper ends. The handle stays empty when the system refuses the job.
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
    return WithCause(what, GetLastError());
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
    // An elevated start gives no thread handle: that target already runs.
    TKernelHandle thread(pi.hThread);
    // Kept until the helper ends. Without one (refused, or the helper's own job forbids it) the
    // target runs as it would without the switch.
    TKernelHandle job;
    if (how.KillWithHelper) {
        MakeKillOnCloseJob(job);
        if (job.Valid() && !AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
        // A target left suspended would keep the helper waiting for ever.
        if (thread.Valid() && ResumeThread(thread.Get()) == DWORD(-1)) {
            out.Error = StepFailed(kCannotResume);
            TerminateProcess(process.Get(), 1);
            return out;
        }
    }
    thread.Reset();
    // When the wait fails, the target's exit code is unknown: the failure is reported, and the
    // code of a process still running is never handed on as if it were the target's.
    if (how.Wait && (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0 ||
                     !GetExitCodeProcess(process.Get(), &out.Code)))
        out.Error = StepFailed(kCannotWaitForEnd);
    return out;
}
