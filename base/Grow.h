// The one way of calling the Win32 functions that write a text into the caller's buffer.
#pragma once

#include <cstddef>
#include <string>

// Fills text by fill(buffer, capacity), which returns the length it wrote when that fit (less
// than capacity), a capacity that will do when it did not (capacity or more), or 0 when the call
// failed. The buffer grows and the call is made again until the text fits; false, with text
// empty, on failure (an empty result counts as one).
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
