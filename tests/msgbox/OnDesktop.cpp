// Starts a command line on a desktop of its own and exits with the command's exit code.
// Wine draws a desktop through the display of the program that opened it first; a desktop of
// its own keeps the message box off the shared one that display-less tests opened.
#include <windows.h>

#include <string>

int main() {
    // Everything after our own name is the command to start.
    const char* line = GetCommandLineA();
    bool quoted = false;
    while (*line && (quoted || (*line != ' ' && *line != '\t'))) {
        if (*line == '"')
            quoted = !quoted;
        ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    std::string command(line);
    // A fresh name each run: a desktop outlives its last program for a while, still drawing
    // through the display of the run before.
    std::string desktop = "orvex-msgbox-" + std::to_string(GetCurrentProcessId());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.lpDesktop = &desktop[0];
    PROCESS_INFORMATION pi{};
    if (command.empty() || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &si, &pi))
        return 250;
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 251;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return int(code);
}
