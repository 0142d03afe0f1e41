// The helper command: started as <name>.exe, it reads the alias <name> from "alias.ini" and
// starts its target. Any failure is reported once and ends the run with exit code 1.
#include "Stub.h"

namespace {

DWORD Run() {
    const TStartup start = ReadStartup();
    const TDefinition def = ReadDefinition(start);
    if (def.App.empty()) {
        ReportError(start.AliasName + " の定義が見つかりません。");
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
    return done.Code;
}

} // namespace

int main() {
    TakeOverBreaks();
    ExitProcess(Run());
}
