// Opening "alias.ini" in a text editor.
#include "Alias.h"

#include <windows.h>

#include "CommandLine.h"
#include "Encoding.h"
#include "Files.h"
#include "Launching.h"
#include "Handle.h"
#include "Messages.h"
#include "Process.h"
#include "Schema.h"
#include "Text.h"
#include "Transaction.h"

using namespace std::string_view_literals;

namespace {

// Starts the editor command for file and does not wait for it. Its program is found by the one
// program search, so a notepad.exe left in the caller's folder never opens. It is started the way
// a helper starts its program, with the file as its one argument, so a batch file or a script gets
// the path as text. It inherits no handles, because holding the caller's output pipe would keep a
// script that reads alias's output waiting until the editor closes. Returns 0 when the editor
// started. Otherwise it returns the start's error, or ERROR_FILE_NOT_FOUND when no program or
// interpreter was found.
DWORD RunEditor(const std::wstring& command, const std::wstring& file) {
    TLaunchValues v{};
    TComposedLine launch;
    // No helper starts the editor, so the search has no file to pass over.
    if (!ResolveCommand(command, launch.Program, v.Param) ||
        ComposeLaunchLine(v,
                          {InterpreterPath(), std::wstring(), QuoteIfHolding(file, kSystemBreaks)},
                          launch) != llComposed)
        return ERROR_FILE_NOT_FOUND;
    PROCESS_INFORMATION pi{};
    const DWORD error = StartProcess(launch.CommandLine, nullptr, false, 0, pi);
    TKernelHandle thread(pi.hThread), process(pi.hProcess);
    return error;
}

} // namespace

TFailure EditDefinitionFile(const TProgramFolder& folder) {
    TDefinitionTransaction t(folder);
    // A file that is missing or cannot be read is still opened, so the user can create it or put
    // it right.
    const TFailure read = t.Read();
    if (read.Error == ERROR_NOT_ENOUGH_MEMORY)
        return read;
    const std::string editor =
        read ? std::string() : t.Ini().ReadValue(kReservedSection, kKeyEditor, "");
    // The editor setting is a command that may have arguments of its own; the file's path is added
    // as one more argument.
    std::wstring path, fallback;
    ToWide(t.Path(), teCp932, path);
    ToWide(kFallbackEditor, teCp932, fallback);
    if (!editor.empty()) {
        const DWORD error = RunEditor(t.Decoded(editor), path);
        if (!error)
            return TFailure();
        // The file is still opened, in the fallback editor, and a message tells the user why the
        // editor of their choice did not start.
        WriteMessage(WithCause(EditorFallback(t.Shown(editor)), error));
    }
    const DWORD error = RunEditor(fallback, path);
    return error ? Failure(EditorFailed(kFallbackEditor), error) : TFailure();
}
