// Starting a program: the one CreateProcessW of both programs.
#pragma once

#include <windows.h>

#include <string>

// As CreateProcessW does, in dir (null: ours); with joinErrorOutput it inherits our handles, our
// standard output its error output too. A program that asks for administrator
// rights is started as Explorer starts it, through the shell with "runas" and the user's consent:
// with a console and environment of its own, and no thread handle. 0, or the system's error.
DWORD StartProcess(const std::wstring& line, const wchar_t* dir, bool joinErrorOutput, DWORD flags,
                   PROCESS_INFORMATION& pi);
