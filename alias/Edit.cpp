// Opening "alias.ini" in a text editor.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "Encoding.h"
#include "Files.h"
#include "Handle.h"
#include "Messages.h"
#include "Process.h"
#include "Schema.h"
#include "Text.h"
#include "Transaction.h"

using namespace std::string_view_literals;

namespace {

// The editor when the reserved section names none, or the one it names cannot be started.
const char kFallbackEditor[] = "notepad.exe";

// Starts a command line without waiting for it; true when the process started. The editor
// inherits no handles: it runs on after alias.exe has ended, and holding the caller's output
// pipe would keep a script that reads alias's output waiting until the editor closes.
bool RunCommandLine(const std::wstring& line) {
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    const bool started = StartProcess(line, nullptr, false, 0, si, pi) == 0;
    TKernelHandle thread(pi.hThread), process(pi.hProcess);
    return started;
}

// Starts the editor command for file, its program found by the programs' one search: a
// notepad.exe left in the caller's folder is never the one that opens.
bool RunEditor(const std::wstring& command, const std::wstring& file) {
    std::wstring program = ProgramNameToken(command);
    const std::wstring_view arguments = CallerArgumentText(command);
    const std::wstring none; // no file to pass over
    return ResolveProgram(program, &none) &&
           RunCommandLine(
               Join({QuoteIfHolding(program, kSystemBreaks), arguments.empty() ? L""sv : L" "sv,
                     arguments, L" "sv, QuoteIfHolding(file, kSystemBreaks)}));
}

} // namespace

TFailure EditDefinitionFile(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    // A file that is missing or cannot be read still opens, to be made or put right; memory
    // that ran out reading it ends the command, as its error line says.
    const TFailure read = t.Read();
    if (read.Error == ERROR_NOT_ENOUGH_MEMORY)
        return read;
    const std::string editor =
        read ? std::string() : t.Ini().ReadValue(kReservedSection, kKeyEditor, "");
    // The editor setting is a command with arguments of its own and stays as written; the
    // path is one argument.
    std::wstring path, fallback;
    ToWide(t.Path(), teCp932, path);
    ToWide(kFallbackEditor, teCp932, fallback);
    if (!editor.empty()) {
        if (RunEditor(t.Decoded(editor), path))
            return TFailure();
        // The file still opens; the user learns why not in the editor of their choice.
        WriteMessage(EditorFailed(t.Shown(editor)) + "notepad.exe で開きます。");
    }
    return RunEditor(fallback, path) ? TFailure()
                                     : Failure(EditorFailed(kFallbackEditor), GetLastError());
}
