// Opening "alias.ini" in a text editor.
#include "Alias.h"

#include <windows.h>

#include <vector>

bool RunCommandLine(const std::string& commandLine) {
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool EditDefinitionFile() {
    std::string editor = ReadAliasValue("alias", "editor");
    if (editor.empty())
        editor = "notepad.exe";
    if (RunCommandLine(editor + " " + FindDefinitionFile()))
        return true;
    return RunCommandLine("notepad.exe " + FindDefinitionFile());
}
