#include "WideText.h"

#include <windows.h>

namespace {
const UINT kCodePage = 932;
} // namespace

// A text never takes more UTF-16 units than it has bytes, nor more code page 932 bytes than
// twice its units: one call with room enough converts it.
bool WidenCp932(const std::string& bytes, std::wstring& wide) {
    wide.assign(bytes.size(), '\0');
    const int n = bytes.empty()
                      ? 0
                      : MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                            int(bytes.size()), &wide[0], int(wide.size()));
    wide.resize(n > 0 ? size_t(n) : 0);
    return n > 0 || bytes.empty();
}

static bool Narrow(const std::wstring& wide, std::string& bytes, DWORD flags, BOOL* usedDefault) {
    bytes.assign(wide.size() * 2, '\0');
    const int n = wide.empty()
                      ? 0
                      : WideCharToMultiByte(kCodePage, flags, wide.data(), int(wide.size()),
                                            &bytes[0], int(bytes.size()), nullptr, usedDefault);
    bytes.resize(n > 0 ? size_t(n) : 0);
    return n > 0 || wide.empty();
}

bool NarrowCp932(const std::wstring& wide, std::string& bytes) {
    BOOL usedDefault = FALSE;
    if (!Narrow(wide, bytes, WC_NO_BEST_FIT_CHARS, &usedDefault) || usedDefault)
        return false;
    // The way back must give the same characters: what maps to one of several forms is exact
    // only if it is that form.
    std::wstring back;
    return WidenCp932(bytes, back) && back == wide;
}

std::string ShownCp932(const std::wstring& wide) {
    std::string bytes;
    return Narrow(wide, bytes, WC_NO_BEST_FIT_CHARS, nullptr) ? bytes : std::string();
}
