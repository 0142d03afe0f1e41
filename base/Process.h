// Starting a program: the one CreateProcessW of both programs, and the start of a program that
// asks for administrator rights.
#pragma once

#include <windows.h>

#include <string>

// Starts a command line, its program the line's first token, in folder dir (null: ours), as
// CreateProcessW does with inherit, flags and si. A program whose manifest asks for
// administrator rights (ERROR_ELEVATION_REQUIRED) is started as Explorer starts it: through the
// shell with the verb "runas", the system asking the user for consent; it gets a console of its
// own, the environment the system gives it, and no thread handle (pi.hThread stays null; it is
// not suspended). 0, or the system's error of the start that failed (ERROR_CANCELLED: the user
// declined).
DWORD StartProcess(const std::wstring& line, const wchar_t* dir, bool inherit, DWORD flags,
                   STARTUPINFOW& si, PROCESS_INFORMATION& pi);
