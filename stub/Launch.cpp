// Starts the target, and waits for it when the build asks for that.
#include "Stub.h"

#include "Handle.h"
#include "Process.h"
#include "Report.h"
#include "Reports.h"
#include "Text.h"

namespace {

// Makes a job that ends every process in it when its last handle closes, which happens however
// the helper ends. The handle stays empty when the system refuses to make the job.
void MakeKillOnCloseJob(TKernelHandle& job) {
    job.Reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    ZeroMemory(&limits, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Valid() && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                                &limits, sizeof limits))
        job.Reset();
}

// The report of a step after the start that failed, with the system's error as its cause.
std::string StepFailed(const char* what) {
    return WithCause(what, GetLastError());
}

} // namespace

TLaunchOutcome Launch(const TComposed& what, const TTargetHandling& how) {
    TLaunchOutcome out;
    PROCESS_INFORMATION pi;
    // With killtarget, the target is started suspended and resumed only once it is in the job, so
    // that no process it starts can escape the job.
    out.Code = StartProcess(what.CommandLine, what.WorkDir.empty() ? nullptr : what.WorkDir.c_str(),
                            how.JoinErrorOutput, how.KillWithHelper ? CREATE_SUSPENDED : 0, pi);
    if (out.Code)
        return out;
    out.Started = true;
    TKernelHandle process(pi.hProcess);
    // A start that needed elevation gives no thread handle, and that target is already running.
    TKernelHandle thread(pi.hThread);
    // The job's handle is kept until the helper ends. When there is no job (the system refused
    // it, or the helper's own job forbids it), the target runs as it would without the switch.
    TKernelHandle job;
    if (how.KillWithHelper) {
        MakeKillOnCloseJob(job);
        if (job.Valid() && !AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
        // A target left suspended would keep the helper waiting forever, so it is ended instead.
        if (thread.Valid() && ResumeThread(thread.Get()) == DWORD(-1)) {
            out.Error = StepFailed(kCannotResume);
            TerminateProcess(process.Get(), 1);
            return out;
        }
    }
    thread.Reset();
    // When the wait fails, the target's exit code is unknown. The failure is reported, and the
    // code of a process that is still running is never handed on as if it were the target's.
    if (how.Wait && (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0 ||
                     !GetExitCodeProcess(process.Get(), &out.Code)))
        out.Error = StepFailed(kCannotWaitForEnd);
    return out;
}
