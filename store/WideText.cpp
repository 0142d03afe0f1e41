#include "WideText.h"

#include <windows.h>

namespace {
const UINT kCodePage = 932;
} // namespace

bool WidenCp932(const std::string& bytes, std::wstring& wide) {
    wide.clear();
    if (bytes.empty())
        return true;
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                      int(bytes.size()), nullptr, 0);
    if (n <= 0)
        return false;
    wide.resize(size_t(n));
    return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                               &wide[0], n) == n;
}

static bool Narrow(const std::wstring& wide, std::string& bytes, DWORD flags, BOOL* usedDefault) {
    bytes.clear();
    if (wide.empty())
        return true;
    const int n = WideCharToMultiByte(kCodePage, flags, wide.data(), int(wide.size()), nullptr, 0,
                                      nullptr, usedDefault);
    if (n <= 0)
        return false;
    bytes.resize(size_t(n));
    return WideCharToMultiByte(kCodePage, flags, wide.data(), int(wide.size()), &bytes[0], n,
                               nullptr, usedDefault) == n;
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
