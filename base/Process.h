// Starting a program: the one CreateProcessW of both programs.
#pragma once

#include <windows.h>

#include <string>

// Starts the command line as CreateProcessW does, in the folder dir (null: our current folder).
// With joinErrorOutput the program inherits our handles, and our standard output becomes its
// error output as well. A program that asks for administrator rights is started the way Explorer
// starts it: through the shell with "runas", once the user consents. Such a program gets a console
// and an environment of its own, and pi then holds no thread handle. Returns 0, or the system's
// error.
DWORD StartProcess(const std::wstring& line, const wchar_t* dir, bool joinErrorOutput, DWORD flags,
                   PROCESS_INFORMATION& pi);
