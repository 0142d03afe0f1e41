// The windowed build: reports in a message box, and ends at once or waits for its target.
#include "Stub.h"

#include "Encoding.h"
#include "Format.h"
#include "Report.h"
#include "Reports.h"
#include "Text.h"

using namespace std::string_view_literals;

void ReportError(const std::string& text) {
    // user32 is loaded only here, so a normal start does not pay for it.
    using MessageBoxFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
    // Control bytes show as blanks, but for the line break StartFailureText puts before the
    // command line.
    std::string shown = text;
    BlankControls(shown.data(), shown.data() + shown.size(), '\r');
    if (HMODULE user32 = LoadLibraryA("user32")) {
        auto box = reinterpret_cast<MessageBoxFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "MessageBoxA")));
        if (box)
            box(nullptr, shown.c_str(), kErrorBoxTitle, MB_OK);
    }
}

// The code first: a message box shows the command line, which may be long, on a line of its own.
std::string StartFailureText(const std::wstring& commandLine, DWORD error) {
    // The caller's text may hold a line break of its own.
    std::string shown = ShownCp932(commandLine);
    BlankControls(shown.data(), shown.data() + shown.size());
    // WithCause's form, joined in one piece: a second join would make the windowed helper a sector
    // larger.
    return Join({kProgram, kStartFailed, kCauseLabel, Decimal(error), "\r"sv, shown});
}

// With "wait" it stands in for a caller that waits for its editor and reads its exit code. Only a
// helper that waits can take its target down with it.
TTargetHandling TargetHandling(const TDefinition& def) {
    TTargetHandling how;
    how.Wait = def.Wait;
    how.KillWithHelper = def.Wait && def.KillTarget;
    return how;
}

bool WindowedBuild() {
    return true;
}

void TakeOverBreaks() {
}
