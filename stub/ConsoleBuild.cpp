// The console build: reports on standard output, waits for its target and hands on its exit code,
// and leaves Ctrl+C to it.
#include "Stub.h"

#include "Files.h"
#include "Format.h"
#include "Report.h"
#include "Text.h"
#include "Encoding.h"

using namespace std::string_view_literals;

namespace {

// The target's to handle: the helper must live on to hand back its exit code.
BOOL WINAPI SwallowBreak(DWORD event) {
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

} // namespace

void ReportError(const std::string& text) {
    std::string line = Join({kErrorLinePrefix, text, "\r\n"sv});
    BlankControls(line.data(), line.data() + line.size() - 2);
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), line.size());
}

std::string StartFailureText(const std::wstring& commandLine, DWORD error) {
    return Join({"プログラム "sv, ShownCp932(commandLine), "の起動に失敗しました。 Code = "sv,
                 Decimal(error)});
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
