// Opening "alias.ini" in a text editor.
#include "Alias.h"

#include <windows.h>

#include <vector>

#include "CommandLine.h"
#include "Handle.h"
#include "Messages.h"
#include "Schema.h"
#include "Text.h"
#include "Transaction.h"

namespace {

// The editor when the reserved section names none, or the one it names cannot be started.
const char kFallbackEditor[] = "notepad.exe";

// Starts a command line without waiting for it; true when the process started. The editor
// inherits no handles: it runs on after alias.exe has ended, and holding the caller's output
// pipe would keep a script that reads alias's output waiting until the editor closes.
bool RunCommandLine(const std::string& commandLine) {
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    TKernelHandle thread(pi.hThread), process(pi.hProcess);
    return true;
}

} // namespace

bool EditDefinitionFile(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    const std::string editor =
        t.Read() ? t.Ini().ReadValue(kReservedSection, kKeyEditor, "") : std::string();
    // The editor setting is a command with arguments of its own and stays as written; the
    // path is one argument.
    const std::string file = QuoteIfSpaced(t.Path());
    if (!editor.empty()) {
        if (RunCommandLine(editor + " " + file))
            return true;
        // The file still opens; the user learns why not in the editor of their choice.
        WriteLine(EditorFailed(editor) + "notepad.exe で開きます。");
    }
    if (RunCommandLine(kFallbackEditor + (" " + file)))
        return true;
    ReportError(EditorFailed(kFallbackEditor));
    return false;
}
