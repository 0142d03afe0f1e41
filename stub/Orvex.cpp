// The helper command <name>.exe: starts the alias <name>'s target. A failure is reported once and
// ends the run with exit code 1.
#include "Stub.h"

#include "Encoding.h"
#include "Reports.h"
#include "Text.h"

using namespace std::string_view_literals;

namespace {

// Returns the report that ends the run with exit code 1, or an empty text when the target ran as
// asked; code then holds the target's exit code to hand on.
std::string Run(DWORD& code) {
    const TStartup start = ReadStartup();
    if (!start.Error.empty())
        return start.Error;
    const TDefinition def = ReadDefinition(start);
    if (def.Unreadable)
        return DefinitionUnreadableReport(start.DefinitionFile);
    if (def.App.empty())
        return NotDefinedReport(start.AliasName);
    const TComposed what = ComposeLaunch(start, def);
    if (!what.Error.empty())
        return what.Error;
    const TLaunchOutcome done = Launch(what, TargetHandling(def));
    code = done.Code;
    if (done.Started)
        return done.Error;
    // The loader's code alone does not tell a user that the file is neither program nor script.
    const std::string failed = StartFailureText(what.CommandLine, done.Code);
    return done.Code != ERROR_BAD_EXE_FORMAT
               ? failed
               : Join(
                     {failed, " "sv, NotRunnableReport(start.AliasName, ShownCp932(what.Program))});
}

} // namespace

// The process's entry, without the C runtime's start-up (no static constructors, its own command
// line). The linker takes the one the subsystem asks for by name: the whole-program build keeps
// both.
extern "C" __attribute__((externally_visible)) void mainCRTStartup() {
    TakeOverBreaks();
    DWORD code = 0;
    const std::string report = Run(code);
    if (!report.empty()) {
        ReportError(report);
        code = 1;
    }
    ExitProcess(code);
}
extern "C" __attribute__((externally_visible)) void WinMainCRTStartup() {
    mainCRTStartup();
}
