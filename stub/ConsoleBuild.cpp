// The console build: reports on standard output, waits for its target and hands on its exit code,
// and leaves Ctrl+C to it.
#include "Stub.h"

#include "Encoding.h"
#include "Files.h"
#include "Format.h"
#include "Report.h"
#include "Reports.h"
#include "Text.h"

using namespace std::string_view_literals;

namespace {

// Ctrl+C and Ctrl+Break are the target's to handle. The helper ignores them, since it must live on
// to hand back the target's exit code.
BOOL WINAPI SwallowBreak(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

} // namespace

void ReportError(const std::string& text) {
    WriteErrorLine(text);
}

std::string StartFailureText(const std::wstring& commandLine, DWORD error) {
    return WithCause(Join({kProgram, " "sv, ShownCp932(commandLine), kStartFailed}), error);
}

TTargetHandling TargetHandling(const TDefinition& def) {
    TTargetHandling how;
    how.JoinErrorOutput = def.JoinErrorOutput;
    how.KillWithHelper = def.KillTarget;
    how.Wait = true;
    return how;
}

bool WindowedBuild() {
    return false;
}

void TakeOverBreaks() {
    SetConsoleCtrlHandler(SwallowBreak, TRUE);
}
