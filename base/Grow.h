// The one way of calling the Win32 functions that write a text into the caller's buffer.
#pragma once

#include <cstddef>
#include <string>

// fill(buffer, capacity) returns the length it wrote (below capacity), a capacity that will do, or
// 0 for a failure; it is called until the text fits. False, text empty, on failure or no text.
template <class C> using TFill = size_t (*)(C* buffer, size_t capacity, const void* context);
bool FillGrowing(std::string& text, TFill<char> fill, const void* context);
bool FillGrowing(std::wstring& text, TFill<wchar_t> fill, const void* context);

// The same for any callable: one loop serves every call.
template <class C, class F> bool FillGrowing(std::basic_string<C>& text, const F& fill) {
    return FillGrowing(
        text,
        [](C* buffer, size_t capacity, const void* f) -> size_t {
            return (*static_cast<const F*>(f))(buffer, capacity);
        },
        &fill);
}
