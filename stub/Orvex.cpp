// The helper command: started as <name>.exe, it reads the alias <name> from "alias.ini" and
// starts its target. Any failure is reported once and ends the run with exit code 1.
#include "Stub.h"

#include "Text.h"

using namespace std::string_view_literals;

namespace {

DWORD Run() {
    const TStartup start = ReadStartup();
    if (!start.Error.empty()) {
        ReportError(start.Error);
        return 1;
    }
    const TDefinition def = ReadDefinition(start);
    if (def.App.empty()) {
        ReportError(Join({start.AliasName, " の定義が見つかりません。"sv}));
        return 1;
    }
    const TComposed what = ComposeLaunch(start, def);
    if (!what.Error.empty()) {
        ReportError(what.Error);
        return 1;
    }
    const TLaunchOutcome done = Launch(what, TargetHandling(def));
    if (!done.Started) {
        ReportError(StartFailureText(what.CommandLine, done.Code));
        return 1;
    }
    if (!done.Error.empty()) {
        ReportError(done.Error);
        return 1;
    }
    return done.Code;
}

} // namespace

// The process's entry, without the C runtime's start-up code, which the helper does not need:
// it has no static constructors and reads its own command line. The linker takes the one the
// build's subsystem asks for, by name: the whole-program build must keep both.
extern "C" __attribute__((externally_visible)) void mainCRTStartup() {
    TakeOverBreaks();
    ExitProcess(Run());
}
extern "C" __attribute__((externally_visible)) void WinMainCRTStartup() {
    mainCRTStartup();
}
