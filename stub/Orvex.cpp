// The helper command <name>.exe, which starts the target of the alias <name>. A failure is
// reported once and ends the run with exit code 1.
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
    // The loader's error code alone does not tell the user that the file is neither a program nor
    // a script, so that is added to the report.
    const std::string failed = StartFailureText(what.CommandLine, done.Code);
    return done.Code != ERROR_BAD_EXE_FORMAT
               ? failed
               : Join(
                     {failed, " "sv, NotRunnableReport(start.AliasName, ShownCp932(what.Program))});
}

} // namespace

// The process's entry point, used instead of the C runtime's start-up, so there are no static
// constructors and the helper reads its own command line. The linker picks the entry point that
// the subsystem asks for by its name, so both are kept visible for the whole-program build.
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
