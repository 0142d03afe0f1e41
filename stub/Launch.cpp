// The start of the target, and the wait for it where the build asks for one.
#include "Stub.h"

#include "Handle.h"

TLaunchOutcome Launch(const TComposed& what, const TTargetHandling& how) {
    TLaunchOutcome out;
    STARTUPINFOA si;
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
    std::vector<char> line(what.CommandLine.begin(), what.CommandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, how.JoinErrorOutput, 0, nullptr,
                        what.WorkDir.empty() ? nullptr : what.WorkDir.c_str(), &si, &pi)) {
        out.Code = GetLastError();
        return out;
    }
    out.Started = true;
    TKernelHandle process(pi.hProcess);
    TKernelHandle thread(pi.hThread);
    thread.Reset();
    if (how.Wait) {
        WaitForSingleObject(process.Get(), INFINITE);
        if (!GetExitCodeProcess(process.Get(), &out.Code))
            out.Code = 1;
    }
    return out;
}

std::string IntToDecimal(uint32_t n) {
    std::string s;
    do {
        s.insert(s.begin(), char('0' + n % 10));
        n /= 10;
    } while (n);
    return s;
}
