#include "LocaleCase.h"

#include <windows.h>

std::string UpperLocale(const std::string& text) {
    // The call works in place over a counted buffer, so NUL bytes are mapped with the rest.
    std::string out = text;
    if (!out.empty())
        CharUpperBuffA(&out[0], DWORD(out.size()));
    return out;
}
