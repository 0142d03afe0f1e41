// Opening "alias.ini" in a text editor.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "Encoding.h"
#include "Files.h"
#include "Handle.h"
#include "Messages.h"
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
bool RunCommandLine(std::wstring line) {
    STARTUPINFOW si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    TKernelHandle thread(pi.hThread), process(pi.hProcess);
    return true;
}

// Starts the editor command for file, its program found by the programs' one search: a
// notepad.exe left in the caller's folder is never the one that opens.
bool RunEditor(const std::wstring& command, const std::wstring& file) {
    std::wstring program = ProgramNameToken(command);
    const std::wstring_view arguments = CallerArgumentText(command);
    return ResolveProgram(program, std::wstring()) &&
           RunCommandLine(
               Join({QuoteIfHolding(program, kSystemBreaks), arguments.empty() ? L""sv : L" "sv,
                     arguments, L" "sv, QuoteIfHolding(file, kSystemBreaks)}));
}

} // namespace

bool EditDefinitionFile(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    // A file that is missing or cannot be read still opens, to be made or put right; a read
    // that was reported (memory ran out) ends the command, as its error line says.
    const bool loaded = t.Read();
    if (!loaded && t.ReadReported())
        return false;
    const std::string editor =
        loaded ? t.Ini().ReadValue(kReservedSection, kKeyEditor, "") : std::string();
    // The editor setting is a command with arguments of its own and stays as written; the
    // path is one argument.
    std::wstring path, fallback;
    ToWide(t.Path(), teCp932, path);
    ToWide(kFallbackEditor, teCp932, fallback);
    if (!editor.empty()) {
        if (RunEditor(t.Decoded(editor), path))
            return true;
        // The file still opens; the user learns why not in the editor of their choice.
        WriteLine(EditorFailed(t.Shown(editor)) + "notepad.exe で開きます。");
    }
    if (RunEditor(fallback, path))
        return true;
    ReportError(EditorFailed(kFallbackEditor));
    return false;
}
