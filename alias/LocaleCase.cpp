#include "LocaleCase.h"

#include <windows.h>

// CharUpperBuffA/CharLowerBuffA work in place over a counted buffer, so NUL bytes are mapped
// along with the rest.
static std::string MapCase(const std::string& text, bool upper) {
    std::string out = text;
    if (!out.empty()) {
        if (upper)
            CharUpperBuffA(&out[0], DWORD(out.size()));
        else
            CharLowerBuffA(&out[0], DWORD(out.size()));
    }
    return out;
}

std::string UpperLocale(const std::string& text) {
    return MapCase(text, true);
}
std::string LowerLocale(const std::string& text) {
    return MapCase(text, false);
}
