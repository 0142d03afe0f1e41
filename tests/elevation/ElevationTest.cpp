// A target that needs administrator rights: the system's start fails with
// ERROR_ELEVATION_REQUIRED (which Wine never gives), and the helper's launch asks the shell to
// start it with the verb "runas". Both calls are made to answer here through this program's
// import table, so the helper's own launch code runs as it is.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "Handle.h"
#include "ImportSwap.h"
#include "Stub.h"

using namespace testing_support;

namespace {

// What the shell was asked, and how it answers.
struct TShellCall {
    int Calls = 0;
    std::wstring Verb, File, Parameters, Directory;
    ULONG Mask = 0;
    bool Declines = false;
} gShell;

using TCreateProcessW = decltype(&CreateProcessW);
using TGetProcAddress = decltype(&GetProcAddress);
using TWaitForSingleObject = decltype(&WaitForSingleObject);
TCreateProcessW gCreateProcessW = nullptr;
TGetProcAddress gGetProcAddress = nullptr;
TWaitForSingleObject gWaitForSingleObject = nullptr;
bool gNeedsElevation = true;
bool gWaitFails = false;

DWORD WINAPI Wait(HANDLE handle, DWORD ms) {
    if (!gWaitFails)
        return gWaitForSingleObject(handle, ms);
    SetLastError(ERROR_ACCESS_DENIED);
    return WAIT_FAILED;
}

BOOL WINAPI ElevationRequired(LPCWSTR app, LPWSTR line, LPSECURITY_ATTRIBUTES pa,
                              LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD flags, LPVOID env,
                              LPCWSTR dir, LPSTARTUPINFOW si, LPPROCESS_INFORMATION pi) {
    if (gNeedsElevation) {
        SetLastError(740); // ERROR_ELEVATION_REQUIRED
        return FALSE;
    }
    return gCreateProcessW(app, line, pa, ta, inherit, flags, env, dir, si, pi);
}

// Consents, and stands in for the elevated target with a program whose exit code is 7.
BOOL WINAPI Shell(SHELLEXECUTEINFOW* info) {
    ++gShell.Calls;
    gShell.Verb = info->lpVerb ? info->lpVerb : L"";
    gShell.File = info->lpFile ? info->lpFile : L"";
    gShell.Parameters = info->lpParameters ? info->lpParameters : L"";
    gShell.Directory = info->lpDirectory ? info->lpDirectory : L"";
    gShell.Mask = info->fMask;
    if (gShell.Declines) {
        SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"cmd.exe /c exit 7";
    gNeedsElevation = false;
    const BOOL started =
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    gNeedsElevation = true;
    if (!started)
        return FALSE;
    TKernelHandle thread(pi.hThread); // the shell hands out the process alone
    info->hProcess = pi.hProcess;
    return TRUE;
}

FARPROC WINAPI ShellFound(HMODULE module, LPCSTR name) {
    if (HIWORD(name) && !strcmp(name, "ShellExecuteExW"))
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&Shell));
    return gGetProcAddress(module, name);
}

class Elevation : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gCreateProcessW = reinterpret_cast<TCreateProcessW>(
            PointImportsAt(reinterpret_cast<const void*>(&CreateProcessW),
                           reinterpret_cast<const void*>(&ElevationRequired)));
        gGetProcAddress = reinterpret_cast<TGetProcAddress>(
            PointImportsAt(reinterpret_cast<const void*>(&GetProcAddress),
                           reinterpret_cast<const void*>(&ShellFound)));
        gWaitForSingleObject = reinterpret_cast<TWaitForSingleObject>(
            PointImportsAt(reinterpret_cast<const void*>(&WaitForSingleObject),
                           reinterpret_cast<const void*>(&Wait)));
        ASSERT_TRUE(gCreateProcessW && gGetProcAddress && gWaitForSingleObject);
    }
    void SetUp() override { gShell = TShellCall(); }

    TComposed What() {
        TComposed what;
        what.CommandLine = L"\"C:\\Program Files\\admin tool.exe\"  -x \"a b\"  \u00e9\U0001F600";
        what.WorkDir = L"C:\\work";
        return what;
    }
};

TEST_F(Elevation, TheShellStartsTheSameProgramWithTheUsersConsent) {
    for (const bool wait : {true, false}) {
        gShell = TShellCall();
        TTargetHandling how;
        how.Wait = wait;
        how.KillWithHelper = wait;
        const TLaunchOutcome out = Launch(What(), how);
        EXPECT_TRUE(out.Started);
        EXPECT_EQ(out.Error, "");
        EXPECT_EQ(out.Code, wait ? 7u : 0u); // the elevated target's, when the helper waits
        ASSERT_EQ(gShell.Calls, 1);
        EXPECT_EQ(gShell.Verb, L"runas");
        EXPECT_EQ(gShell.File, L"C:\\Program Files\\admin tool.exe");
        EXPECT_EQ(gShell.Parameters, L"-x \"a b\"  \u00e9\U0001F600");
        EXPECT_EQ(gShell.Directory, L"C:\\work");
        EXPECT_TRUE(gShell.Mask & SEE_MASK_NOCLOSEPROCESS);
    }
}

TEST_F(Elevation, ADeclinedPromptIsAFailedStart) {
    gShell.Declines = true;
    TTargetHandling how;
    how.Wait = true;
    const TLaunchOutcome out = Launch(What(), how);
    EXPECT_FALSE(out.Started);
    EXPECT_EQ(out.Code, DWORD(ERROR_CANCELLED));
    EXPECT_EQ(gShell.Calls, 1);
}

// A wait that fails says nothing of the target: reported, never the code of a process that
// still runs (STILL_ACTIVE, 259) handed on as its exit code.
TEST_F(Elevation, AFailedWaitIsReportedNotTakenForAnExitCode) {
    gNeedsElevation = false;
    gWaitFails = true;
    TComposed what;
    what.CommandLine = L"cmd.exe /c exit 7";
    TTargetHandling how;
    how.Wait = true;
    const TLaunchOutcome out = Launch(what, how);
    gWaitFails = false;
    gNeedsElevation = true;
    EXPECT_TRUE(out.Started);
    EXPECT_EQ(out.Error, "プログラムの終了を待てません。 Code = 5");
    EXPECT_EQ(gShell.Calls, 0);
}

} // namespace
