#include "HandedOn.h"

#include <windows.h>

#include "Grow.h"

bool StoredValueText(const std::string& value, TTextEncoding encoding, std::wstring& text) {
    return value.find('\0') == std::string::npos &&
           (ToWide(value, encoding, text) || ToWide(value, teCp932, text));
}

namespace {

// The text with environment references expanded; false when the result is longer than any
// environment value may be (the system would cut it). A failed expansion leaves it as written.
bool ExpandEnvText(std::wstring& text) {
    std::wstring expanded;
    const bool done = !text.empty() && FillGrowing(expanded, [&](wchar_t* buffer, size_t capacity) {
        // The size it gives counts the closing zero, whether the text fitted or not.
        const DWORD n = ExpandEnvironmentStringsW(text.c_str(), buffer, DWORD(capacity));
        return n == 0 ? 0 : n <= capacity ? n - 1 : n;
    });
    if (done && expanded.size() >= kSystemTextLimit)
        return false;
    if (done)
        text = expanded;
    return true;
}

} // namespace

const char* ApplyEnvEntry(const std::string& name, const std::string& value,
                          TTextEncoding encoding) {
    std::wstring wideName, wideValue;
    if (!StoredValueText(name, encoding, wideName) || !StoredValueText(value, encoding, wideValue))
        return kValueBadText;
    if (!ExpandEnvText(wideValue))
        return kValueTooLong;
    if (!SetEnvironmentVariableW(wideName.c_str(),
                                 wideValue.empty() ? nullptr : wideValue.c_str()) &&
        !wideValue.empty())
        return kValueNotSet;
    return nullptr;
}
