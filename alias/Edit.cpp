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

// Starts the editor command for file, not waiting. Its program is found by the one search (a
// notepad.exe left in the caller's folder never opens) and started as a helper starts its target,
// the file its one argument: a batch file or a script gets it as text. It inherits no handles:
// holding the caller's output pipe would keep a script reading alias's output waiting until it
// closes. 0 when it started, else why not: the start's error, or that no program or interpreter
// was found.
DWORD RunEditor(const std::wstring& command, const std::wstring& file) {
    TLaunchValues v{};
    TComposedLine launch;
    // No helper starts the editor: there is no file to pass over.
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
    // A file that is missing or cannot be read still opens, to be made or put right.
    const TFailure read = t.Read();
    if (read.Error == ERROR_NOT_ENOUGH_MEMORY)
        return read;
    const std::string editor =
        read ? std::string() : t.Ini().ReadValue(kReservedSection, kKeyEditor, "");
    // The setting is a command with arguments of its own; the path is one argument.
    std::wstring path, fallback;
    ToWide(t.Path(), teCp932, path);
    ToWide(kFallbackEditor, teCp932, fallback);
    if (!editor.empty()) {
        const DWORD error = RunEditor(t.Decoded(editor), path);
        if (!error)
            return TFailure();
        // The file still opens; the user learns why not in the editor of their choice.
        WriteMessage(WithCause(EditorFallback(t.Shown(editor)), error));
    }
    const DWORD error = RunEditor(fallback, path);
    return error ? Failure(EditorFailed(kFallbackEditor), error) : TFailure();
}
